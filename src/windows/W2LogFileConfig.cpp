#include "windows/W2LogFileConfig.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "config/ui/MemTableModel.h"
#include "windows/ToolImages.h"
#include "analyses/ui/SlotGuard.h"

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QToolButton* AddButton(QToolBar* bar, const char* name, TToolImage image, const char* hint) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(ToolImage(image));
  button->setToolTip(QString::fromLatin1(hint));
  button->setAutoRaise(true);
  bar->addWidget(button);
  return button;
}

// The Name column picks from the field names only; the character columns take one printable
// character (the fields hold one byte).
class TConfigDelegate : public QStyledItemDelegate {
public:
  TConfigDelegate(const std::vector<std::string>& names, QObject* parent) : QStyledItemDelegate(parent) {
    for (const std::string& name : names) FNames << FromUtf8(name);
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (index.column() == TfrmLogFileConfig::colConfigName) {
      auto* combo = new QComboBox(parent);
      combo->setObjectName(QStringLiteral("colConfigNameEditor"));
      combo->addItems(FNames);
      combo->setEditable(false);
      connect(combo, &QComboBox::activated, this, [this, combo] { emit const_cast<TConfigDelegate*>(this)->commitData(combo); });
      return combo;
    }
    auto* edit = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
    if (edit != nullptr) {
      edit->setMaxLength(1);
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ -~]?")), edit));
    }
    return edit;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
      return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      if (combo->currentIndex() >= 0) model->setData(index, combo->currentText(), Qt::EditRole);
      return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }

private:
  QStringList FNames;
};

}  // namespace

TfrmLogFileConfig::TfrmLogFileConfig(const Tglobals& globals, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      FDialogs(dialogs),
      FEditor(globals, dialogs) {
  setObjectName(QStringLiteral("frmLogFileConfig"));
  setFixedSize(257, 304);
  CreateToolBar();
  CreateGrid();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ToolBar1);
  layout->addWidget(dbConfig);
  ShowState();
}

TfrmLogFileConfig::~TfrmLogFileConfig() { dbConfig->setModel(nullptr); }

void TfrmLogFileConfig::CreateToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setIconSize(QSize(16, 16));
  bntNew = AddButton(ToolBar1, "bntNew", TToolImage::New, "initialise new");
  btnClear = AddButton(ToolBar1, "btnClear", TToolImage::Clear, "clear");
  ToolBar1->addSeparator();
  btnLoadFromFile = AddButton(ToolBar1, "btnLoadFromFile", TToolImage::Open, "open file");
  btnWriteToFile = AddButton(ToolBar1, "btnWriteToFile", TToolImage::Save, "save file");
  btnWriteNewFile = AddButton(ToolBar1, "btnWriteNewFile", TToolImage::SaveAs, "save file as");
  auto* spacer = new QWidget(ToolBar1);  // keeps the close button at the right end
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  ToolBar1->addWidget(spacer);
  btnClose = AddButton(ToolBar1, "btnClose", TToolImage::Close, "Close");

  connect(bntNew, &QToolButton::clicked, this, [this] { Run(&TLogTypeEditor::New); });
  connect(btnClear, &QToolButton::clicked, this, [this] { Run(&TLogTypeEditor::Clear); });
  connect(btnLoadFromFile, &QToolButton::clicked, this, [this] { Run(&TLogTypeEditor::LoadFromFile); });
  connect(btnWriteToFile, &QToolButton::clicked, this, [this] { Run(&TLogTypeEditor::WriteToFile); });
  connect(btnWriteNewFile, &QToolButton::clicked, this, [this] { Run(&TLogTypeEditor::WriteNewFile); });
  connect(btnClose, &QToolButton::clicked, this, [this] { CloseClicked(); });
}

void TfrmLogFileConfig::CreateGrid() {
  FModel = std::make_unique<TMemTableModel>(FEditor.kbmConfig,
                                            std::vector<TMemTableModel::TColumn>{
                                                {"Name", QStringLiteral("Name"), false, true},
                                                {"LeftChar", QStringLiteral("LeftChar"), false, true},
                                                {"RightChar", QStringLiteral("RightChar"), false, true},
                                            });
  connect(FModel.get(), &TMemTableModel::ValueEdited, this, [this](int row, int) { FEditor.CellEdited(row); });

  dbConfig = new QTableView(this);
  dbConfig->setObjectName(QStringLiteral("dbConfig"));
  dbConfig->setModel(FModel.get());
  FDelegate = new TConfigDelegate(FEditor.FieldNames(), dbConfig);
  dbConfig->setItemDelegate(FDelegate);
  dbConfig->setSelectionMode(QAbstractItemView::SingleSelection);
  dbConfig->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  dbConfig->verticalHeader()->hide();
  dbConfig->verticalHeader()->setDefaultSectionSize(dbConfig->fontMetrics().height() + 6);
  dbConfig->horizontalHeader()->setStretchLastSection(true);
  dbConfig->setColumnWidth(colConfigName, 127);
  dbConfig->setColumnWidth(colConfigLeftChar, 46);
  dbConfig->setColumnWidth(colConfigRightChar, 53);
  dbConfig->installEventFilter(this);
  // Queued: a row dropped on leaving it resets the model, which must not happen inside the
  // selection model's own signal.
  connect(dbConfig->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { CurrentRowChanged(); }, Qt::QueuedConnection);
}

void TfrmLogFileConfig::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

void TfrmLogFileConfig::Run(void (TLogTypeEditor::*command)()) {
  PostEditor();
  RunGuarded(FDialogs, [this, command] { (FEditor.*command)(); });
  ShowState();
}

void TfrmLogFileConfig::CloseClicked() {
  PostEditor();
  bool close = false;
  RunGuarded(FDialogs, [this, &close] { close = FEditor.CloseRequested(); });
  if (close) accept();
}

// Closing in any way ends the description: unsaved rows are lost.
void TfrmLogFileConfig::done(int result) {
  PostEditor();
  FEditor.FormClose();
  QDialog::done(result);
}

// A cell still being edited when a command runs is stored first, as leaving the grid would.
void TfrmLogFileConfig::PostEditor() {
  if (QWidget* editor = dbConfig->indexWidget(dbConfig->currentIndex())) {
    emit FDelegate->commitData(editor);
    emit FDelegate->closeEditor(editor);
  }
}

// Caption of the editor; an open table without rows offers one new row, as grids do.
void TfrmLogFileConfig::ShowState() {
  setWindowTitle(FromUtf8(FEditor.Caption()));
  if (FEditor.kbmConfig.Active() && FEditor.kbmConfig.RecordCount() == 0) AppendRow();
}

int TfrmLogFileConfig::CurrentRow() const { return dbConfig->currentIndex().row(); }

void TfrmLogFileConfig::SetCurrentRow(int row) {
  if (row < 0 || row >= FModel->rowCount()) return;
  const int column = std::max(dbConfig->currentIndex().column(), 0);
  dbConfig->setCurrentIndex(FModel->index(row, column));
}

void TfrmLogFileConfig::CurrentRowChanged() {
  const int row = CurrentRow();
  if (row < 0) return;
  const int rows = FModel->rowCount();
  const int now = FEditor.RowEntered(row);
  if (FModel->rowCount() != rows) SetCurrentRow(now);
}

void TfrmLogFileConfig::AppendRow() {
  PostEditor();
  int row = -1;
  RunGuarded(FDialogs, [this, &row] { row = FEditor.AppendRow(); });
  SetCurrentRow(row);
}

void TfrmLogFileConfig::InsertRow() {
  PostEditor();
  int row = -1;
  RunGuarded(FDialogs, [this, &row] { row = FEditor.InsertRow(std::max(CurrentRow(), 0)); });
  SetCurrentRow(row);
}

void TfrmLogFileConfig::DeleteRow() {
  PostEditor();
  const int row = CurrentRow();
  RunGuarded(FDialogs, [this, row] { FEditor.DeleteRow(row); });
  ShowState();
  SetCurrentRow(std::min(row, FModel->rowCount() - 1));
}

bool TfrmLogFileConfig::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dbConfig && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
      InsertRow();
      return true;
    }
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
      DeleteRow();
      return true;
    }
    if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier && FEditor.kbmConfig.Active() &&
        CurrentRow() == FModel->rowCount() - 1) {
      AppendRow();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
