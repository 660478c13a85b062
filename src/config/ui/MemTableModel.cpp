#include "config/ui/MemTableModel.h"

#include <exception>
#include <utility>

TMemTableModel::TMemTableModel(TMemTable& table, std::vector<TColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), FTable(table), FColumns(std::move(columns)) {
  for (const TColumn& column : FColumns) {
    const int field = FTable.FieldNo(column.Field);
    if (column.CheckBox && FTable.Fields()[static_cast<std::size_t>(field)].Type != TFieldType::Boolean)
      throw EMemTableError("Field '" + column.Field + "' of table " + FTable.Name() + " is not a boolean field");
    if (column.Editable && (column.CheckBox || FTable.Fields()[static_cast<std::size_t>(field)].Type != TFieldType::String))
      throw EMemTableError("Field '" + column.Field + "' of table " + FTable.Name() + " cannot be edited as text");
    FFields.push_back(field);
  }
  FRowCount = LiveRowCount();
  FCurrentRow = FTable.Active() ? FTable.RecNo() : -1;
  FObserverId = FTable.AddObserver([this](const TTableChange& change) { TableChanged(change); });
}

TMemTableModel::~TMemTableModel() { FTable.RemoveObserver(FObserverId); }

TFieldType TMemTableModel::TypeOf(int column) const {
  return FTable.Fields()[static_cast<std::size_t>(FieldOf(column))].Type;
}

void TMemTableModel::TableChanged(const TTableChange& change) {
  // The table is silent while its display updates are suspended; this only makes sure.
  // A reset is always honoured: it can only bring the views closer to the table.
  if (FTable.ControlsDisabled() && change.Kind != TTableChange::TKind::Reset) return;
  switch (change.Kind) {
    case TTableChange::TKind::Reset:
      Reset();
      break;
    case TTableChange::TKind::RecordChanged:
      // A row the views do not know yet cannot just change: show the table anew.
      if (change.Row < 0 || change.Row >= FRowCount || FRowCount != LiveRowCount()) {
        Reset();
      } else if (!FColumns.empty()) {
        emit dataChanged(index(change.Row, 0), index(change.Row, columnCount() - 1));
      }
      break;
    case TTableChange::TKind::CursorMoved:
      FCurrentRow = change.Row;
      emit CurrentRowChanged(FCurrentRow);
      break;
  }
}

void TMemTableModel::Reset() {
  beginResetModel();
  FRowCount = LiveRowCount();
  endResetModel();
  FCurrentRow = FTable.Active() ? FTable.RecNo() : -1;
  emit CurrentRowChanged(FCurrentRow);
}

bool TMemTableModel::IsCell(const QModelIndex& index) const { return index.isValid() && checkIndex(index); }

int TMemTableModel::LiveRowCount() const { return FTable.Active() ? FTable.RecordCount() : 0; }

int TMemTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FRowCount; }

int TMemTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

QVariant TMemTableModel::data(const QModelIndex& index, int role) const {
  if (!IsCell(index)) return {};
  const int row = index.row();
  const int column = index.column();
  const bool checkBox = Column(column).CheckBox;
  try {
    // Views may still ask for rows the table has lost while its updates were suspended.
    if (row >= LiveRowCount()) return {};
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole:
        return checkBox ? QVariant() : RawValue(row, column);
      case Qt::CheckStateRole:
        if (!checkBox) return {};
        return FTable.AsBooleanAt(row, FieldOf(column)) ? Qt::Checked : Qt::Unchecked;
      case FieldTypeRole:
        return static_cast<int>(TypeOf(column));
      default:
        return {};
    }
  } catch (const std::exception&) {
    return {};  // nothing may leave a Qt virtual; a table that cannot answer shows nothing
  }
}

QVariant TMemTableModel::RawValue(int row, int column) const {
  const int field = FieldOf(column);
  if (FTable.IsNullAt(row, field)) return {};
  switch (TypeOf(column)) {
    case TFieldType::String: {
      // Texts from logs may be any bytes: invalid UTF-8 becomes replacement characters.
      const std::string_view text = FTable.AsStringViewAt(row, field);
      return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case TFieldType::Integer: return static_cast<int>(FTable.AsIntegerAt(row, field));
    case TFieldType::Boolean: return FTable.AsBooleanAt(row, field);
    case TFieldType::DateTime:
    case TFieldType::Time: return FTable.AsDateTimeAt(row, field);
  }
  return {};
}

QVariant TMemTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
    return Column(section).Caption;
  return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TMemTableModel::flags(const QModelIndex& index) const {
  if (!IsCell(index)) return Qt::NoItemFlags;
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (Column(index.column()).CheckBox) result |= Qt::ItemIsUserCheckable;
  if (Column(index.column()).Editable) result |= Qt::ItemIsEditable;
  return result;
}

bool TMemTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!IsCell(index)) return false;
  const TColumn& column = Column(index.column());
  if (role == Qt::CheckStateRole && column.CheckBox) {
    emit CheckToggled(index.row(), index.column(), value.toInt() == Qt::Checked);
    return true;
  }
  if (role == Qt::EditRole && column.Editable) return StoreText(index.row(), index.column(), value.toString());
  return false;
}

bool TMemTableModel::StoreText(int row, int column, const QString& text) {
  const std::string value = text.toStdString();
  const int field = FieldOf(column);
  try {
    if (row >= LiveRowCount()) return false;
    if (FTable.AsStringViewAt(row, field) == value) return true;  // nothing was changed
    FTable.SetRecNo(row);
    FTable.Edit();
    if (value.empty())
      FTable.ClearField(field);
    else
      FTable.SetString(field, value);
    FTable.Post();
  } catch (const std::exception&) {
    if (FTable.Active() && FTable.Editing()) FTable.Cancel();
    return false;  // nothing may leave a Qt virtual
  }
  emit ValueEdited(row, column);
  return true;
}
