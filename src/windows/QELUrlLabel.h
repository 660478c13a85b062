#pragma once
// A label that opens a web or mail address when clicked, and shows it as a link while the
// mouse is over it.
#include <QColor>
#include <QLabel>
#include <QString>

#include <functional>

class QEnterEvent;

class TQELUrlLabel : public QLabel {
  Q_OBJECT
public:
  enum TURLType { utCustom, utHTTP, utFTP, utMail };

  explicit TQELUrlLabel(QWidget* parent = nullptr);

  TURLType URLType() const { return FURLType; }
  void SetURLType(TURLType type) { FURLType = type; }
  // The prefix of utCustom addresses.
  const QString& CustomURLType() const { return FCustomURLType; }
  void SetCustomURLType(const QString& prefix) { FCustomURLType = prefix; }
  const QString& URL() const { return FURL; }
  void SetURL(const QString& url) { FURL = url; }
  // The address is the label's text instead of URL.
  bool UseCaption() const { return FUseCaption; }
  void SetUseCaption(bool use) { FUseCaption = use; }
  // On: link look while the mouse is over the label; off: always underlined.
  bool HighlightURLOnMouse() const { return FHighlightURLOnMouse; }
  void SetHighlightURLOnMouse(bool on);
  const QColor& ActiveColor() const { return FActiveColor; }
  void SetActiveColor(const QColor& colour) { FActiveColor = colour; }
  const QColor& InactiveColor() const { return FInactiveColor; }
  void SetInactiveColor(const QColor& colour);

  // Runs instead of opening the address when set.
  std::function<void()> OnClick;

  // The address a click opens: the type's prefix, then the text or URL. A text that already
  // names its scheme ("https://...", "mailto:...") is taken as it stands.
  QString Address() const;
  // What a click does.
  void Click();
  // Hands the address to the desktop's "open"; descendants may open it otherwise.
  virtual void OpenURL(const QString& address);

signals:
  void MouseEntered();
  void MouseLeft();

protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  void ShowAs(const QColor& colour, bool underline);

  TURLType FURLType = utHTTP;
  QString FCustomURLType;
  QString FURL;
  bool FUseCaption = false;
  bool FHighlightURLOnMouse = true;
  QColor FActiveColor = Qt::blue;
  QColor FInactiveColor = Qt::black;
};
