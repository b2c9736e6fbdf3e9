#include "ui/progress_window.h"

#include "storage/progress_store.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace {

QString percent(double value) {
    return QString::number(value, 'f', 1);
}

double errorRate(const CharacterTally& tally) {
    return tally.sent > 0 ? 100.0 * tally.errors / tally.sent : 0.0;
}

QChartView* chartView(QChart* chart, const QString& name, QWidget* parent) {
    chart->legend()->hide();
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(name);
    view->setMinimumSize(360, 220);
    return view;
}

QValueAxis* percentAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%d"));
    return axis;
}

QChartView* accuracyChart(const ProgressHistory& history, QWidget* parent) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Accuracy over time"));
    auto* series = new QLineSeries;
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(history.checks.size()));
    for (const ProgressEntry& check : history.checks)
        points.append(QPointF(static_cast<double>(check.time) * 1000.0, check.accuracy));
    series->replace(points);
    series->setPointsVisible(points.size() < 60);
    chart->addSeries(series);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("d MMM"));
    time->setTitleText(QStringLiteral("Date"));
    if (!history.checks.empty())
        time->setRange(QDateTime::fromSecsSinceEpoch(history.checks.front().time).addSecs(-3600),
                       QDateTime::fromSecsSinceEpoch(history.checks.back().time).addSecs(3600));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(percentAxis(QStringLiteral("Accuracy %")), Qt::AlignLeft);
    series->attachAxis(time);
    series->attachAxis(chart->axes(Qt::Vertical).front());
    return chartView(chart, QStringLiteral("Accuracy over time, chart"), parent);
}

// The characters with the highest error rates, the ones to practise; the table beside the chart
// has them all.
constexpr std::size_t kCharactersCharted = 15;

QChartView* characterChart(const ProgressHistory& history, QWidget* parent) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Error rate of the characters most often wrong"));
    std::vector<CharacterTally> worst = history.characters;
    std::stable_sort(worst.begin(), worst.end(),
                     [](const auto& a, const auto& b) { return errorRate(a) > errorRate(b); });
    std::erase_if(worst, [](const CharacterTally& tally) { return tally.errors == 0; });
    worst.resize(std::min(worst.size(), kCharactersCharted));
    auto* rates = new QBarSet(QStringLiteral("Error rate %"));
    QStringList symbols;
    for (const CharacterTally& tally : worst) {
        symbols << QString::fromStdString(tally.symbol);
        *rates << errorRate(tally);
    }
    auto* series = new QBarSeries;
    series->append(rates);
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    categories->append(symbols);
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(percentAxis(QStringLiteral("Error rate %")), Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(chart->axes(Qt::Vertical).front());
    return chartView(chart, QStringLiteral("Errors per character, chart"), parent);
}

QTableView* tableView(TextTableModel* model, const QString& name, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setAccessibleName(name);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    return view;
}

} // namespace

TextTableModel::TextTableModel(QStringList headers, std::size_t rows, Cell cell, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), rows_(rows),
      cell_(std::move(cell)) {}

int TextTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_);
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cell_(static_cast<std::size_t>(index.row()), index.column());
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return headers_.value(section);
}

ProgressWindow::ProgressWindow(ProgressStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Semak / Check: progress"));
    auto* layout = new QVBoxLayout(this);
    const auto history = store.load();
    if (!history) {
        auto* failure = new QLabel(
            QStringLiteral("The progress file %1 cannot be read: %2")
                .arg(QString::fromStdString(store.path()), QString::fromStdString(store.failure())),
            this);
        failure->setWordWrap(true);
        layout->addWidget(failure);
        return;
    }
    history_ = *history;
    build();
}

void ProgressWindow::build() {
    const ProgressHistory& history = history_;
    const auto checkCell = [this](std::size_t row, int column) {
        const ProgressEntry& check = history_.checks[row];
        switch (column) {
        case 0:
            return QDateTime::fromSecsSinceEpoch(check.time)
                .toString(QStringLiteral("yyyy-MM-dd hh:mm"));
        case 1:
            return QString::fromStdString(check.kind);
        case 2:
            return QString::fromStdString(check.source);
        case 3:
            return QStringLiteral("%1 / %2")
                .arg(check.characterWpm, 0, 'f', 1)
                .arg(check.effectiveWpm, 0, 'f', 1);
        case 4:
            return QString::number(check.sent);
        default:
            return percent(check.accuracy);
        }
    };
    const auto characterCell = [this](std::size_t row, int column) {
        const CharacterTally& tally = history_.characters[row];
        switch (column) {
        case 0:
            return QString::fromStdString(tally.symbol);
        case 1:
            return QString::number(tally.sent);
        case 2:
            return QString::number(tally.errors);
        default:
            return percent(errorRate(tally));
        }
    };
    auto* charts = new QSplitter(Qt::Vertical);
    charts->addWidget(accuracyChart(history, charts));
    charts->addWidget(characterChart(history, charts));
    auto* tables = new QSplitter(Qt::Vertical);
    QTableView* checksTable = tableView(
        new TextTableModel({"Time", "Run", "Characters or file", "WPM", "Sent", "Accuracy %"},
                           history.checks.size(), checkCell, this),
        QStringLiteral("Checks"), tables);
    checksTable->setColumnWidth(
        0, checksTable->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00")) + 12);
    tables->addWidget(checksTable);
    tables->addWidget(tableView(new TextTableModel({"Character", "Sent", "Errors", "Error rate %"},
                                                   history.characters.size(), characterCell, this),
                                QStringLiteral("Errors per character"), tables));
    auto* sides = new QSplitter(Qt::Horizontal, this);
    sides->addWidget(charts);
    sides->addWidget(tables);
    auto* summary = new QLabel(
        history.checks.empty() ? QStringLiteral("No checks yet: check a copy and it appears here.")
                               : QStringLiteral("%1 checks; the latest scored %2%.")
                                     .arg(history.checks.size())
                                     .arg(percent(history.checks.back().accuracy)),
        this);
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->addWidget(summary);
    box->addWidget(sides, 1);
    sides->setSizes({600, 500});
    resize(1100, 640);
}
