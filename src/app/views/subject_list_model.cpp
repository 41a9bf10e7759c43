#include "app/views/subject_list_model.h"

#include <QBrush>

#include "app/platform/windows1252_text.h"
#include "tome/tome_reader.h"

namespace lv {

SubjectListModel::SubjectListModel(TomeReader& reader, QObject* parent)
    : QAbstractTableModel(parent), m_reader(reader) {}

void SubjectListModel::ResetFromReader() {
  beginResetModel();
  m_rowCount = m_reader.IsOpen() ? m_reader.SubjectCount() : 0;
  endResetModel();
}

int SubjectListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rowCount; }

int SubjectListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant SubjectListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::ForegroundRole) return QBrush(Qt::black);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  // A row drawn while another tome is being opened may lie beyond the reader's subjects.
  const int row = index.row();
  if (!m_reader.IsOpen() || row >= m_reader.SubjectCount()) return {};
  std::string text;
  if (index.column() == 0) {
    text = m_reader.Subject(row);
    if (text.size() > kSubjectLimit) text.resize(kSubjectLimit);
  } else {
    text = m_reader.Preview(row, true);
    if (text.size() > kPreviewLimit) text.resize(kPreviewLimit);
  }
  return DecodeWindows1252(text);
}

QVariant SubjectListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == 0 ? QStringLiteral("Subject") : QStringLiteral("Preview");
}

}  // namespace lv
