#pragma once
// A Qt table model over a memory table, for grids and for the chart model mappers.
//
// Rows are the table's visited records in its view order; columns are fields chosen by the
// view. DisplayRole gives raw values (int, bool, QString, and double for date-times and
// times) so that chart mappers read numbers; TMemTableDelegate formats them for grids.
// The model follows the table's notifications: Reset resets the model (Qt Charts' mappers do
// not follow layoutChanged), RecordChanged updates one row, CursorMoved is passed on as
// CurrentRowChanged. The table must outlive the model.
#include <QAbstractTableModel>
#include <QString>

#include <string>
#include <vector>

#include "base/MemTable.h"

class TMemTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  struct TColumn {
    std::string Field;      // field name in the table
    QString Caption;        // header text
    bool CheckBox = false;  // boolean field shown as a check box only (toggles are reported)
    bool Editable = false;  // string field whose cells the user may edit (stored at once)
  };

  enum TRole {
    FieldTypeRole = Qt::UserRole + 1,  // the column's TFieldType, as int
  };

  // Raises EMemTableError when the table has no such field, or a check box is asked for a
  // field that is not boolean, or editing for a field that is not a string.
  TMemTableModel(TMemTable& table, std::vector<TColumn> columns, QObject* parent = nullptr);
  ~TMemTableModel() override;

  TMemTable& Table() const { return FTable; }
  const TColumn& Column(int column) const { return FColumns.at(static_cast<std::size_t>(column)); }
  int FieldOf(int column) const { return FFields.at(static_cast<std::size_t>(column)); }
  TFieldType TypeOf(int column) const;
  // View position of the table's current record as last told, -1 when none.
  int CurrentRow() const { return FCurrentRow; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Check-box toggles are reported through CheckToggled and not stored: the owner decides.
  // A text entered into an editable cell is stored in the record at once (an empty text
  // leaves the field without a value) and reported through ValueEdited; a text equal to the
  // stored one changes nothing and is not reported.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
  void CurrentRowChanged(int row);
  void CheckToggled(int row, int column, bool checked);
  void ValueEdited(int row, int column);

private:
  void TableChanged(const TTableChange& change);
  void Reset();
  bool IsCell(const QModelIndex& index) const;
  int LiveRowCount() const;
  QVariant RawValue(int row, int column) const;
  bool StoreText(int row, int column, const QString& text);

  TMemTable& FTable;
  std::vector<TColumn> FColumns;
  std::vector<int> FFields;
  int FObserverId = 0;
  int FRowCount = 0;  // as the views last learnt it, changed only within a model reset
  int FCurrentRow = -1;
};
