#include "windows/W2Files.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "windows/ToolImages.h"
#include "analyses/ui/SlotGuard.h"

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QToolButton* AddButton(QToolBar* bar, const char* name, TToolImage image, const QString& hint) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(ToolImage(image));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  bar->addWidget(button);
  return button;
}

}  // namespace

TfrmValues::TfrmValues(const Tglobals& globals, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      FDialogs(dialogs),
      FEditor(globals, dialogs) {
  setObjectName(QStringLiteral("frmValues"));
  setFixedSize(369, 429);
  CreateToolBar();

  lstValues = new QListWidget(this);
  lstValues->setObjectName(QStringLiteral("lstValues"));
  lstValues->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstValues->installEventFilter(this);
  connect(lstValues, &QListWidget::itemDoubleClicked, this, [this] { DeleteEntries(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ToolBar1);
  layout->addWidget(lstValues);

  FEditor.OnListChanged = [this] { ShowList(); };
  FEditor.SetShowModal([this] { exec(); });
  ShowList();
}

// Each showing starts from the list file, with nothing selected.
bool TfrmValues::EditInputFiles() {
  lstValues->clear();
  return FEditor.EditInputFiles();
}

void TfrmValues::EditLockWords() {
  lstValues->clear();
  FEditor.EditLockWords();
}

void TfrmValues::CreateToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setIconSize(QSize(16, 16));
  btnAdd = AddButton(ToolBar1, "btnAdd", TToolImage::Add, QString());
  btnClear = AddButton(ToolBar1, "btnClear", TToolImage::Clear, QStringLiteral("clear"));
  ToolBar1->addSeparator();
  btnUnselekt = AddButton(ToolBar1, "btnUnselekt", TToolImage::Unselect, QStringLiteral("unselect"));
  ToolBar1->addSeparator();
  btnLoadFromFile = AddButton(ToolBar1, "btnLoadFromFile", TToolImage::Open, QStringLiteral("load from list"));
  btnWriteToFile = AddButton(ToolBar1, "btnWriteToFile", TToolImage::Save, QStringLiteral("save to list"));
  auto* spacer = new QWidget(ToolBar1);  // keeps the close button at the right end
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  ToolBar1->addWidget(spacer);
  btnClose = AddButton(ToolBar1, "btnClose", TToolImage::Close, QStringLiteral("close"));

  connect(btnAdd, &QToolButton::clicked, this, [this] { Run(&TValuesEditor::Add); });
  connect(btnClear, &QToolButton::clicked, this, [this] { DeleteEntries(); });
  connect(btnUnselekt, &QToolButton::clicked, this, [this] { lstValues->clearSelection(); });
  connect(btnLoadFromFile, &QToolButton::clicked, this, [this] { Run(&TValuesEditor::LoadFromFile); });
  connect(btnWriteToFile, &QToolButton::clicked, this, [this] { Run(&TValuesEditor::WriteToFile); });
  connect(btnClose, &QToolButton::clicked, this, &QDialog::accept);
}

void TfrmValues::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

void TfrmValues::Run(void (TValuesEditor::*command)()) {
  RunGuarded(FDialogs, [this, command] { (FEditor.*command)(); });
}

void TfrmValues::DeleteEntries() {
  const std::vector<int> selected = SelectedRows();
  RunGuarded(FDialogs, [this, &selected] { FEditor.Delete(selected); });
}

std::vector<int> TfrmValues::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : lstValues->selectionModel()->selectedIndexes()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Shows the editor's entries; entries only appended keep the selection of the others.
void TfrmValues::ShowList() {
  setWindowTitle(FromUtf8(FEditor.Caption()));
  btnAdd->setToolTip(FromUtf8(FEditor.AddHint()));
  const auto& values = FEditor.Values();
  bool appended = static_cast<std::size_t>(lstValues->count()) <= values.size();
  for (int row = 0; appended && row < lstValues->count(); ++row)
    appended = lstValues->item(row)->text() == FromUtf8(values[static_cast<std::size_t>(row)]);
  if (!appended) lstValues->clear();
  for (std::size_t row = static_cast<std::size_t>(lstValues->count()); row < values.size(); ++row)
    lstValues->addItem(FromUtf8(values[row]));
  btnWriteToFile->setEnabled(FEditor.CanWriteToFile());
}

bool TfrmValues::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstValues && event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat() && (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace)) {
      DeleteEntries();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
