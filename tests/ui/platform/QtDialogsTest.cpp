#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/ui/QtDialogs.h"
#include "support/TestSupport.h"
#include "support/UiTest.h"

using TBoxKind = TQtDialogs::TBoxKind;

namespace {

using TButtons = QList<QMessageBox::StandardButton>;

// Runs action on the next modal dialog as soon as it is open; gives up after a deadline, so
// that a dialog that never comes cannot hang the test (an open one is rejected instead).
void OnNextModal(std::function<void(QWidget*)> action) {
  auto* poll = new QTimer(QCoreApplication::instance());
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, action = std::move(action)] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->deleteLater();
      poll->stop();
      action(modal);
    } else if (clock->hasExpired(10000)) {
      poll->deleteLater();
      poll->stop();
    }
  });
  poll->start(10);
}

}  // namespace

class TQtDialogsTest : public QObject {
  Q_OBJECT

private slots:
  void BoxesShowPlainTextWithTheirButtons_data() {
    QTest::addColumn<TBoxKind>("kind");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<TButtons>("buttons");
    QTest::addColumn<TAnswer>("escaped");
    QTest::newRow("warning") << TBoxKind::Warning << QMessageBox::Warning << TButtons{QMessageBox::Ok} << TAnswer::Yes;
    QTest::newRow("message") << TBoxKind::Message << QMessageBox::NoIcon << TButtons{QMessageBox::Ok} << TAnswer::Yes;
    QTest::newRow("information") << TBoxKind::Information << QMessageBox::Information << TButtons{QMessageBox::Ok}
                                 << TAnswer::Yes;
    QTest::newRow("error") << TBoxKind::Error << QMessageBox::Critical << TButtons{QMessageBox::Ok} << TAnswer::Yes;
    QTest::newRow("confirm") << TBoxKind::Confirm << QMessageBox::Question
                             << TButtons{QMessageBox::Ok, QMessageBox::Cancel} << TAnswer::Cancel;
    QTest::newRow("yes/no") << TBoxKind::YesNo << QMessageBox::Question << TButtons{QMessageBox::Yes, QMessageBox::No}
                            << TAnswer::No;
    QTest::newRow("yes/no/cancel") << TBoxKind::YesNoCancel << QMessageBox::Question
                                   << TButtons{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}
                                   << TAnswer::Cancel;
  }
  void BoxesShowPlainTextWithTheirButtons() {
    QFETCH(TBoxKind, kind);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(TButtons, buttons);
    QFETCH(TAnswer, escaped);
    const QString text = "<b>GET /a?x=<script></b> & more";
    auto box = TQtDialogs::MakeBox(kind, text, nullptr);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->icon(), icon);
    TButtons shown;
    for (QAbstractButton* button : box->buttons()) shown << box->standardButton(button);
    std::sort(shown.begin(), shown.end());
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(shown, buttons);
    QCOMPARE(box->standardButton(box->defaultButton()), buttons.front() == QMessageBox::Ok ? QMessageBox::Ok
                                                                                            : QMessageBox::Yes);
    QCOMPARE(TQtDialogs::AnswerOf(*box), escaped);  // closed without a click
  }

  void AQuestionReturnsTheButtonClicked() {
    TQtDialogs dialogs;
    QString shownText;
    OnNextModal([&shownText](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (!box) return;
      shownText = box->text();
      box->button(QMessageBox::No)->click();
    });
    QCOMPARE(dialogs.AskYesNoCancel("Save the list?"), TAnswer::No);
    QCOMPARE(shownText, QString("Save the list?"));
  }

  void InputBoxKeepsTheTextWhenCancelled() {
    TQtDialogs dialogs;
    OnNextModal([](QWidget* modal) {
      if (auto* box = qobject_cast<QInputDialog*>(modal)) {
        box->setTextValue("changed");
        box->reject();
      }
    });
    QCOMPARE(dialogs.InputBox("Caption", "Prompt", "före"), std::string("före"));

    OnNextModal([](QWidget* modal) {
      if (auto* box = qobject_cast<QInputDialog*>(modal)) {
        box->setTextValue("changed");
        box->accept();
      }
    });
    QCOMPARE(dialogs.InputBox("Caption", "Prompt", "före"), std::string("changed"));
  }

  void InputBoxShowsPlainText() {
    auto box = TQtDialogs::MakeInputBox("Caption", "<i>Prompt</i>", "value", nullptr);
    QCOMPARE(box->windowTitle(), QString("Caption"));
    QCOMPARE(box->textValue(), QString("value"));
    const auto labels = box->findChildren<QLabel*>();
    QVERIFY(!labels.isEmpty());
    for (const QLabel* label : labels) QCOMPARE(label->textFormat(), Qt::PlainText);
  }

  void FiltersTakeQtsForm_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << "" << "";
    QTest::newRow("described") << "Konfiguratonsdateien (*.lf)|*.lf" << "Konfiguratonsdateien (*.lf)";
    QTest::newRow("bare description") << "Text files|*.txt" << "Text files (*.txt)";
    QTest::newRow("several") << "Logs (*.log;*.txt)|*.log;*.txt|All files (*.*)|*.*"
                             << "Logs (*.log *.txt);;All files (*.*)";
    QTest::newRow("description differs from patterns") << "Lists (*.lst)|*.txt" << "Lists (*.lst) (*.txt)";
    QTest::newRow("missing pattern") << "Everything" << "Everything (*)";
  }
  void FiltersTakeQtsForm() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(TQtDialogs::ConvertFilter(filter.toStdString()), expected);
  }

  void FileDialogsTakeTheirSettings() {
    testsupport::TTempDir dir;
    TFileDialogOptions options;
    options.Title = "Open";
    options.Folder = dir.Path().string();
    options.Filter = "Konfiguratonsdateien (*.lf)|*.lf";
    options.DefaultExtension = ".lf";
    options.MultiSelect = true;

    QFileDialog open;
    TQtDialogs::SetUpFileDialog(open, options, false);
    QCOMPARE(open.windowTitle(), QString("Open"));
    QCOMPARE(open.directory().absolutePath(), QString::fromStdString(dir.Path().string()));
    QCOMPARE(open.nameFilters(), QStringList{"Konfiguratonsdateien (*.lf)"});
    QCOMPARE(open.defaultSuffix(), QString("lf"));
    QCOMPARE(open.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(open.fileMode(), QFileDialog::ExistingFiles);

    options.MultiSelect = false;
    QFileDialog single;
    TQtDialogs::SetUpFileDialog(single, options, false);
    QCOMPARE(single.fileMode(), QFileDialog::ExistingFile);

    QFileDialog save;
    TQtDialogs::SetUpFileDialog(save, options, true);
    QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(save.testOption(QFileDialog::DontConfirmOverwrite));
    options.OverwritePrompt = true;
    TQtDialogs::SetUpFileDialog(save, options, true);
    QVERIFY(!save.testOption(QFileDialog::DontConfirmOverwrite));
  }
};

TREVALO_UI_TEST(TQtDialogsTest)
#include "QtDialogsTest.moc"
