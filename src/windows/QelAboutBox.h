#pragma once
// The About box: TQELAboutBox holds the texts, pictures and pages that the main window sets;
// Execute shows them in a TAboutBoxDialog. Each of the sixteen texts has a label of its own
// (tag: page * 100 + index) with a small square before it; empty texts leave no gap.
#include <QDialog>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QKeyEvent;
class QLabel;
class QPushButton;
class QTabWidget;

class EQELAboutBox : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The pages, as bits 0 to 3 of a page set.
enum TAboutBoxPage : unsigned { abHersteller = 1u << 0, abProdukt = 1u << 1, abKunde = 1u << 2, abVertrieb = 1u << 3 };
using TAboutBoxPages = unsigned;

// The indexes of the texts and of the labels that show them.
enum TAboutText {
  atProduktName = 1,
  atProduktVersion,
  atProduktDatum,
  atLizenz,
  atCopyright,
  atVertriebAdresse,
  atVertriebWeb,
  atVertriebEMail,
  atVertriebHotline,
  atKundeAdresse,
  atKundeEMail,
  atKundeWeb,
  atKundeTelNr,
  atHerstellerAdresse,
  atHerstellerWeb,
  atHerstellerEMail,
};
inline constexpr int AboutTextCount = 16;

using TKeyHandler = std::function<void(QKeyEvent& event)>;

class TAboutBoxDialog : public QDialog {
  Q_OBJECT
public:
  // Tab order and the page part of the label tags.
  enum TPageIndex { piProdukt = 0, piKunde = 1, piVertrieb = 2, piHersteller = 3 };

  explicit TAboutBoxDialog(QWidget* parent = nullptr);

  // Sets the text of the label of that index (1 to 16); it and its square show exactly when
  // the text is not empty. Raises EQELAboutBox "SetAboutBoxInfo(index, text)" for an index no
  // label carries.
  void SetAboutBoxInfo(int index, const QString& text);
  void SetLogo(TPageIndex page, const QPixmap& logo);
  void ShowPages(TAboutBoxPages pages);
  // Places each page's visible labels one under the other from top 190.
  void ArrangeLabels();

  QLabel* InfoLabel(int index) const;  // nullptr when no label carries the index
  QWidget* Square(int index) const;
  QLabel* Logo(TPageIndex page) const { return FLogos[page]; }
  QWidget* Page(TPageIndex page) const { return FPages[page]; }

  QTabWidget* PageControl = nullptr;
  QPushButton* btnClose = nullptr;

  TKeyHandler OnKeyPress, OnKeyDown, OnKeyUp;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

private:
  struct TInfo {
    int Tag;
    QLabel* Label;
    QWidget* Square;
  };
  void CreatePage(TPageIndex page, const QString& caption);
  void CreateLabels();
  void PageShown(int page);
  const TInfo* Find(int index) const;

  std::array<QWidget*, 4> FPages{};
  std::array<QLabel*, 4> FLogos{};
  std::vector<TInfo> FInfos;  // by index order
};

class TQELAboutBox : public QObject {
  Q_OBJECT
public:
  explicit TQELAboutBox(QObject* parent = nullptr);

  QString Caption;
  TAboutBoxPages Pages = abProdukt;
  bool UseVersionInfo = false;
  TKeyHandler OnKeyPress, OnKeyDown, OnKeyUp;

  const QString& Text(int index) const;  // 1 to 16; "" for another index
  void SetText(int index, const QString& text);

  // The picture of a page; assigning copies it.
  const QPixmap& Logo(TAboutBoxDialog::TPageIndex page) const { return FLogos[page]; }
  void SetLogo(TAboutBoxDialog::TPageIndex page, const QPixmap& logo) { FLogos[page] = logo; }

  // The dialog built and filled as Execute shows it.
  std::unique_ptr<TAboutBoxDialog> MakeDialog(QWidget* parent = nullptr) const;
  // Shows the dialog modally; returns when it is closed.
  void Execute(QWidget* parent = nullptr) const;

private:
  std::array<QString, AboutTextCount> FTexts;
  std::array<QPixmap, 4> FLogos;
};
