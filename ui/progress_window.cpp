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

QChartView* characterChart(const ProgressHistory& history, QWidget* parent) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Errors per character"));
    auto* rates = new QBarSet(QStringLiteral("Error rate %"));
    QStringList symbols;
    for (const CharacterTally& tally : history.characters) {
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
    return view;
}

} // namespace

TextTableModel::TextTableModel(QStringList headers, std::vector<QStringList> rows, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), rows_(std::move(rows)) {}

int TextTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return rows_[static_cast<std::size_t>(index.row())].value(index.column());
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
    build(*history);
}

void ProgressWindow::build(const ProgressHistory& history) {
    std::vector<QStringList> checks;
    checks.reserve(history.checks.size());
    for (const ProgressEntry& check : history.checks)
        checks.push_back(
            {QDateTime::fromSecsSinceEpoch(check.time).toString(QStringLiteral("yyyy-MM-dd hh:mm")),
             QString::fromStdString(check.kind), QString::fromStdString(check.source),
             QStringLiteral("%1 / %2")
                 .arg(check.characterWpm, 0, 'f', 1)
                 .arg(check.effectiveWpm, 0, 'f', 1),
             QString::number(check.sent), percent(check.accuracy)});
    std::vector<QStringList> characters;
    for (const CharacterTally& tally : history.characters)
        characters.push_back({QString::fromStdString(tally.symbol), QString::number(tally.sent),
                              QString::number(tally.errors), percent(errorRate(tally))});

    auto* charts = new QSplitter(Qt::Vertical);
    charts->addWidget(accuracyChart(history, charts));
    charts->addWidget(characterChart(history, charts));
    auto* tables = new QSplitter(Qt::Vertical);
    tables->addWidget(tableView(
        new TextTableModel({"Time", "Run", "Characters or file", "WPM", "Sent", "Accuracy %"},
                           std::move(checks), this),
        QStringLiteral("Checks"), tables));
    tables->addWidget(tableView(new TextTableModel({"Character", "Sent", "Errors", "Error rate %"},
                                                   std::move(characters), this),
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
    layout()->addWidget(summary);
    layout()->addWidget(sides);
    resize(980, 560);
}
