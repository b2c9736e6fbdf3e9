#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>
#include <vector>

class ProgressStore;
struct ProgressHistory;

// Rows of text for a table view; the tables show the same numbers as the charts, for reading
// exact values and for screen readers.
class TextTableModel : public QAbstractTableModel {
public:
    TextTableModel(QStringList headers, std::vector<QStringList> rows, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList headers_;
    std::vector<QStringList> rows_;
};

// "Progress": accuracy over time and the error rate per character, as charts with tables of the
// same numbers beside them. Says plainly when the progress file cannot be read.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    ProgressWindow(ProgressStore& store, QWidget* parent);

private:
    void build(const ProgressHistory& history);
};
