#include "windows/W2ProcessCheckList.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>
#include <string>

#include "config/WSGlobal.h"
#include "windows/ToolImages.h"

namespace {

const char* const CheckListKeySuffix = "\\ProccesCheckList";

QListWidgetItem* ItemAt(const QListWidget& list, int index) {
  QListWidgetItem* item = list.item(index);
  if (item == nullptr) throw std::out_of_range("no item " + std::to_string(index) + " in the check list");
  return item;
}

}  // namespace

TfrmProcessCheckList::TfrmProcessCheckList(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmProcessCheckList"));
  setWindowTitle(QStringLiteral("Process Check List"));
  setFixedSize(179, 245);

  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setIconSize(QSize(16, 16));
  auto* spacer = new QWidget(ToolBar1);  // keeps the close button at the right end
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  ToolBar1->addWidget(spacer);
  btnClose = new QToolButton(ToolBar1);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setIcon(ToolImage(TToolImage::Close));
  btnClose->setToolTip(QStringLiteral("Close"));
  btnClose->setAutoRaise(true);
  ToolBar1->addWidget(btnClose);
  connect(btnClose, &QToolButton::clicked, this, &QDialog::accept);

  cmbCheckList = new QListWidget(this);
  cmbCheckList->setObjectName(QStringLiteral("cmbCheckList"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ToolBar1);
  layout->addWidget(cmbCheckList);
}

void TfrmProcessCheckList::Execute(const Tglobals& globals, const TFill& fill, const TSave& save, QWidget* parent) {
  const std::string key = std::string(MainKey) + CheckListKeySuffix;
  if (!globals.Store().KeyExists(key)) globals.CreateRegKey(key);
  TfrmProcessCheckList window(parent);
  fill(window);
  window.exec();
  save(window);
}

void TfrmProcessCheckList::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

void TfrmProcessCheckList::Clear() { cmbCheckList->clear(); }

void TfrmProcessCheckList::Add(const std::string& text, bool checked) {
  auto* item = new QListWidgetItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), cmbCheckList);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  item->setData(Qt::UserRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

int TfrmProcessCheckList::Count() const { return cmbCheckList->count(); }

// The name as given, byte for byte: it names the group's value in the settings store.
std::string TfrmProcessCheckList::Text(int index) const {
  return ItemAt(*cmbCheckList, index)->data(Qt::UserRole).toByteArray().toStdString();
}

bool TfrmProcessCheckList::Checked(int index) const { return ItemAt(*cmbCheckList, index)->checkState() == Qt::Checked; }

void TfrmProcessCheckList::SelectFirst() {
  if (cmbCheckList->count() > 0) cmbCheckList->setCurrentRow(0);
}
