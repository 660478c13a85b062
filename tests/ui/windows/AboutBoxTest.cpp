#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "support/UiTest.h"
#include "windows/ProgramAbout.h"
#include "windows/QELUrlLabel.h"
#include "windows/QelAboutBox.h"
#include "windows/QelVersionInfo.h"

using namespace uitest;

namespace {

// Tops of the shown labels of a dialog, by index.
std::map<int, int> ShownTops(const TAboutBoxDialog& dialog) {
  std::map<int, int> tops;
  for (int index = 1; index <= AboutTextCount; ++index) {
    const QLabel* label = dialog.InfoLabel(index);
    if (label->isHidden()) continue;
    tops[index] = label->y();
    if (dialog.Square(index)->isHidden() || dialog.Square(index)->y() != label->y() + 4 ||
        dialog.Square(index)->x() != 40 || label->x() != 56)
      tops[index] = -1;  // the square must stand beside its label
  }
  return tops;
}

class TRecordingLabel : public TQELUrlLabel {
public:
  QStringList Opened;
  void OpenURL(const QString& address) override { Opened << address; }
};

}  // namespace

class TAboutBoxTest : public QObject {
  Q_OBJECT

private slots:
  void ProgramBoxShowsItsPagesWithoutGaps() {
    TQELAboutBox box;
    SetUpProgramAboutBox(box);
    box.SetText(atProduktVersion, box.Text(atProduktVersion) + "1.1");  // as the main window does
    const auto dialog = box.MakeDialog();
    QCOMPARE(dialog->windowTitle(), QString("Trevalo"));
    QCOMPARE(dialog->size(), QSize(504, 370));
    QCOMPARE(dialog->font().pixelSize(), 13);
    QVERIFY(dialog->font().bold());

    QTabWidget& pages = *dialog->PageControl;
    QCOMPARE(pages.count(), 4);
    const QStringList captions{"&Produkt", "&Kunde", "&Vertrieb", "&Hersteller"};
    for (int i = 0; i < 4; ++i) QCOMPARE(pages.tabText(i), captions[i]);
    QVERIFY(pages.isTabVisible(TAboutBoxDialog::piProdukt));
    QVERIFY(pages.isTabVisible(TAboutBoxDialog::piKunde));
    QVERIFY(!pages.isTabVisible(TAboutBoxDialog::piVertrieb));
    QVERIFY(pages.isTabVisible(TAboutBoxDialog::piHersteller));
    QCOMPARE(pages.currentIndex(), int(TAboutBoxDialog::piProdukt));

    QCOMPARE(dialog->InfoLabel(atProduktName)->text(), QString("Trevalo"));
    QCOMPARE(dialog->InfoLabel(atProduktVersion)->text(), QString("Version: 1.1"));
    // Hidden labels leave no gap; the maker's address has two line breaks.
    const std::map<int, int> expected{{atProduktName, 190}, {atProduktVersion, 210}, {atCopyright, 230},
                                      {atHerstellerAdresse, 190}, {atHerstellerWeb, 240}, {atHerstellerEMail, 260}};
    QCOMPARE(ShownTops(*dialog), expected);

    const QLabel* logo = dialog->Logo(TAboutBoxDialog::piProdukt);
    QVERIFY(!logo->isHidden());
    QCOMPARE(logo->geometry(), QRect(8, 8, 396, 76));
    QVERIFY(dialog->Logo(TAboutBoxDialog::piKunde)->isHidden());
    QCOMPARE(dialog->Logo(TAboutBoxDialog::piHersteller)->size(), QSize(396, 76));
  }

  void LineBreakPushesLaterLabelsDown() {
    TQELAboutBox box;
    box.Pages = abProdukt | abVertrieb;
    box.SetText(atProduktName, "Trevalo\r\nweb logs");
    box.SetText(atProduktVersion, "1.1");
    box.SetText(atLizenz, "free");
    box.SetText(atVertriebAdresse, "one\ntwo\rthree");
    box.SetText(atVertriebHotline, "555");
    const auto dialog = box.MakeDialog();
    const std::map<int, int> expected{{atProduktName, 190}, {atProduktVersion, 225}, {atLizenz, 245},
                                      {atVertriebAdresse, 190}, {atVertriebHotline, 240}};
    QCOMPARE(ShownTops(*dialog), expected);
    QCOMPARE(dialog->InfoLabel(atProduktName)->text(), QString("Trevalo\nweb logs"));
    QCOMPARE(dialog->PageControl->currentIndex(), int(TAboutBoxDialog::piProdukt));
  }

  void UnknownIndexRaises() {
    TAboutBoxDialog dialog;
    for (int index : {0, 17, 117}) {
      try {
        dialog.SetAboutBoxInfo(index, "x y");
        QFAIL("no error");
      } catch (const EQELAboutBox& e) {
        QCOMPARE(QString(e.what()), QString("SetAboutBoxInfo(%1, x y)").arg(index));
      }
    }
    dialog.SetAboutBoxInfo(atKundeWeb, "customer.example.org");
    QVERIFY(!dialog.InfoLabel(atKundeWeb)->isHidden());
    dialog.SetAboutBoxInfo(atKundeWeb, "");
    QVERIFY(dialog.InfoLabel(atKundeWeb)->isHidden());
    QVERIFY(dialog.Square(atKundeWeb)->isHidden());
  }

  void CloseButtonGoesAlongWithThePage() {
    TAboutBoxDialog dialog;
    QPushButton& close = *dialog.btnClose;
    QCOMPARE(close.text(), QString("&Schließen"));
    QCOMPARE(close.toolTip(), QString("Infofenster schließen"));
    QCOMPARE(close.geometry(), QRect(384, 296, 105, 33));
    QVERIFY(close.isDefault());
    QCOMPARE(close.parentWidget(), dialog.Page(TAboutBoxDialog::piProdukt));
    dialog.PageControl->setCurrentIndex(TAboutBoxDialog::piHersteller);
    QCOMPARE(close.parentWidget(), dialog.Page(TAboutBoxDialog::piHersteller));
    QCOMPARE(close.geometry(), QRect(384, 296, 105, 33));
    dialog.show();
    close.click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
  }

  void VersionInformationCompletesTheTexts() {
    TQELAboutBox box;
    box.UseVersionInfo = true;
    box.SetText(atProduktVersion, "Version: ");
    box.Caption = "About";
    int keys = 0;
    box.OnKeyDown = [&keys](QKeyEvent&) { ++keys; };
    const auto dialog = box.MakeDialog();
    QCOMPARE(dialog->InfoLabel(atProduktName)->text(), QString("Trevalo"));
    QCOMPARE(dialog->InfoLabel(atProduktVersion)->text(), QString("Version: 1.1"));
    QCOMPARE(dialog->InfoLabel(atCopyright)->text(), QString("Copyright (C) Trevalo developers"));
    QVERIFY(dialog->InfoLabel(atProduktDatum)->isHidden());  // the block has no date
    QTest::keyClick(dialog.get(), Qt::Key_A);
    QCOMPARE(keys, 1);
  }

  void VersionBlockAnswersByNameAndIndex() {
    TQELVersionInfo info;
    QCOMPARE(info.StringValue("ProductVersion"), std::string());  // not loaded
    info.Load();
    QVERIFY(info.Loaded());
    QCOMPARE(info.StringPrefix(), std::string("\\StringFileInfo\\0409FDE9\\"));
    QCOMPARE(info.StandardString(7), std::string("1.1"));
    QCOMPARE(info.StandardString(6), std::string("Trevalo"));
    QCOMPARE(info.StringValue("Missing"), std::string());
    QCOMPARE(info.FixedFileInfo().Major, std::uint16_t(1));
    QCOMPARE(info.FixedFileInfo().Minor, std::uint16_t(1));

    TVersionBlock block = TQELVersionInfo::ProgramBlock();
    block.Strings[info.StringPrefix() + "Comments"] = std::string(1, '\0');
    info.Load(block);
    QCOMPARE(info.StringValue("Comments"), std::string());  // nothing but the terminating zero

    struct TCase {
      const char* Message;
      std::function<void(TVersionBlock&)> Damage;
    };
    const TCase cases[] = {
        {"VerQueryValue: Error reading Root", [](TVersionBlock& b) { b.Root.reset(); }},
        {"VerQueryValue: Error reading Translation", [](TVersionBlock& b) { b.Translation.reset(); }},
        {"Translation array smaller than 1", [](TVersionBlock& b) { b.Translation->clear(); }},
    };
    for (const TCase& c : cases) {
      TVersionBlock damaged = TQELVersionInfo::ProgramBlock();
      c.Damage(damaged);
      try {
        info.Load(damaged);
        QFAIL("no error");
      } catch (const EQELVersionInfo& e) {
        QCOMPARE(QString(e.what()), QString(c.Message));
      }
      QVERIFY(!info.Loaded());
      QCOMPARE(info.StandardString(7), std::string());
    }
  }

  void UrlLabelOpensItsAddress() {
    struct TCase {
      TQELUrlLabel::TURLType Type;
      bool UseCaption;
      QString Expected;
    };
    const TCase cases[] = {
        {TQELUrlLabel::utHTTP, true, "http://shown.example.org"},
        {TQELUrlLabel::utFTP, false, "ftp://target.example.org"},
        {TQELUrlLabel::utMail, false, "mailto:target.example.org"},
        {TQELUrlLabel::utCustom, false, "news:target.example.org"},
    };
    for (const TCase& c : cases) {
      TRecordingLabel label;
      label.setText("shown.example.org");
      label.SetURL("target.example.org");
      label.SetCustomURLType("news:");
      label.SetURLType(c.Type);
      label.SetUseCaption(c.UseCaption);
      label.resize(120, 20);
      QTest::mouseClick(&label, Qt::LeftButton);
      QCOMPARE(label.Opened, QStringList{c.Expected});
    }

    TRecordingLabel label;
    label.setText("https://trevalo.example.org/");
    label.SetUseCaption(true);
    QCOMPARE(label.Address(), QString("https://trevalo.example.org/"));  // the scheme it names
    int clicks = 0;
    label.OnClick = [&clicks] { ++clicks; };
    label.Click();
    QCOMPARE(clicks, 1);
    QVERIFY(label.Opened.isEmpty());
  }

  void UrlLabelLooksLikeALinkUnderTheMouse() {
    TQELUrlLabel label;
    label.SetInactiveColor(Qt::darkCyan);
    QSignalSpy entered(&label, &TQELUrlLabel::MouseEntered);
    QSignalSpy left(&label, &TQELUrlLabel::MouseLeft);
    const auto colour = [&label] { return label.palette().color(QPalette::WindowText); };
    QCOMPARE(colour(), QColor(Qt::darkCyan));
    QVERIFY(!label.font().underline());

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&label, &enter);
    QCOMPARE(colour(), QColor(Qt::blue));
    QVERIFY(label.font().underline());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &leave);
    QCOMPARE(colour(), QColor(Qt::darkCyan));
    QVERIFY(!label.font().underline());
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 1);

    label.SetHighlightURLOnMouse(false);
    QVERIFY(label.font().underline());
    QCoreApplication::sendEvent(&label, &leave);
    QVERIFY(label.font().underline());  // underlined for good
    label.SetHighlightURLOnMouse(true);
    QVERIFY(!label.font().underline());
  }
};

TREVALO_UI_TEST(TAboutBoxTest)
#include "AboutBoxTest.moc"
