// The program's entry: the application, the settings module over the user's settings file,
// the list editor, the main window, the message loop.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <exception>

#include "config/SettingsFile.h"
#include "config/WSGlobal.h"
#include "platform/ProgramDir.h"
#include "platform/ui/QtDialogs.h"
#include "platform/ui/QtHostLookup.h"
#include "platform/ui/QtLocalFormat.h"
#include "platform/ui/QtVisibleText.h"
#include "run/ui/ConfigWindowSet.h"
#include "run/ui/W2main.h"
#include "windows/W2Files.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Trevalo");
  QApplication::setApplicationDisplayName("Trevalo");
  QApplication::setWindowIcon(QIcon(":/trevalo.png"));
  try {
    TQtDialogs dialogs;
    TSettingsFile store(TSettingsFile::DefaultPath());
    // The lookup tables load here; an error is shown and start-up goes on. The window's frames
    // hold the settings module from their creation, so it comes first.
    Tglobals globals(store, dialogs, ExecutableDirectory());
    TfrmValues frmValues(globals, dialogs);
    TConfigWindowSet windows(globals);
    TQtHostLookup hostLookup;
    TQtLocalFormat format;
    TfrmMain frmMain(globals, frmValues.Editor(), hostLookup, format, &windows);
    dialogs.SetParent(&frmMain);
    windows.SetParent(&frmMain);
    frmMain.show();
    return QApplication::exec();
  } catch (const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, "Trevalo", ShowControlsKeepingLines(QString::fromStdString(error.what())));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1;
  }
}
