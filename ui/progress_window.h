#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "storage/progress_store.h"

// A table whose cells are written only when shown: a history of thousands of checks opens without
// formatting every row. The tables show the same numbers as the charts, for reading exact values
// and for screen readers.
class TextTableModel : public QAbstractTableModel {
public:
    using Cell = std::function<QString(std::size_t row, int column)>;
    TextTableModel(QStringList headers, std::size_t rows, Cell cell, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList headers_;
    std::size_t rows_;
    Cell cell_;
};

// "Progress": accuracy over time and the error rate per character, as charts with tables of the
// same numbers beside them. Says plainly when the progress file cannot be read.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    ProgressWindow(ProgressStore& store, QWidget* parent);

private:
    void build();

    ProgressHistory history_;
};
