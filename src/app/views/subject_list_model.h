// The rows of the subject list: subject i and the preview of its entry, read from the tome reader
// only when a row is drawn, so that a tome of any size lists at once.
#pragma once

#include <QAbstractTableModel>

namespace lv {

class TomeReader;

class SubjectListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kSubjectLimit = 99;   // bytes of a subject shown (100 with the terminator)
  static constexpr int kPreviewLimit = 511;  // bytes of a preview shown (512 with the terminator)

  explicit SubjectListModel(TomeReader& reader, QObject* parent = nullptr);

  // Takes the row count from the reader (0 when no tome is open).
  void ResetFromReader();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  TomeReader& m_reader;
  int m_rowCount = 0;
};

}  // namespace lv
