// The program's entry: the application, the settings module over the user's settings file,
// the main window, the message loop.
#include <QApplication>
#include <QMessageBox>

#include <exception>

#include "config/SettingsFile.h"
#include "config/WSGlobal.h"
#include "platform/ProgramDir.h"
#include "platform/ui/QtDialogs.h"
#include "platform/ui/QtHostLookup.h"
#include "platform/ui/QtLocalFormat.h"
#include "run/ListFileInput.h"
#include "run/ui/W2main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Trevalo");
  QApplication::setApplicationDisplayName("Trevalo");
  try {
    TQtDialogs dialogs;
    TSettingsFile store(TSettingsFile::DefaultPath());
    // The lookup tables load here; an error is shown and start-up goes on.
    Tglobals globals(store, dialogs, ExecutableDirectory());
    TListFileInput lists(globals);
    TQtHostLookup hostLookup;
    TQtLocalFormat format;
    TfrmMain frmMain(globals, lists, hostLookup, format);
    dialogs.SetParent(&frmMain);
    frmMain.show();
    return QApplication::exec();
  } catch (const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, "Trevalo", QString::fromStdString(error.what()));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1;
  }
}
