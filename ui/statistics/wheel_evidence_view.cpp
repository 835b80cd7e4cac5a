#include "statistics/wheel_evidence_view.h"

#include "statistics/split_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

using namespace vantel::sim;

namespace {

// A count with its thousands marked, as vantel-wheel stats prints it.
QString whole(std::int64_t v) {
    const QString digits = QString::number(v < 0 ? -v : v);
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += QLatin1Char(',');
        out += digits[i];
    }
    return v < 0 ? QLatin1Char('-') + out : out;
}

QString pText(double p) {
    if (p < 1e-4) return QString::number(p, 'e', 1);
    return QString::number(p, 'g', 3);
}

QLabel* paragraph(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QGroupBox* group(const QString& title, QWidget* parent, QVBoxLayout*& layout) {
    auto* box = new QGroupBox(title, parent);
    layout = new QVBoxLayout(box);
    return box;
}

} // namespace

WheelEvidenceView::WheelEvidenceView(QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    m_scopeName = new QLabel(tr("Figures of:"), this);
    m_scopeChoice = new QComboBox(this);
    m_scopeChoice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_scopeChoice->setMinimumContentsLength(12);
    m_scopeName->setBuddy(m_scopeChoice);
    m_dateRange = new QCheckBox(tr("Only nights begun from"), this);
    m_from = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    m_to = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit* d : {m_from, m_to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    m_toName = new QLabel(tr("to"), this);
    m_toName->setBuddy(m_to);
    // What the choosers ask for never widens the page: they are arranged for
    // the width the page has.
    auto* choosers = new QWidget(this);
    choosers->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_choosers = new QGridLayout(choosers);
    outer->addWidget(choosers);
    m_scopeChoice->addItem(tr("This window's session"), QVariant());
    connect(m_scopeChoice, &QComboBox::currentIndexChanged, this, [this] { showScope(); });
    connect(m_dateRange, &QCheckBox::toggled, this, [this] { showScope(); });
    connect(m_from, &QDateEdit::dateChanged, this, [this] {
        if (m_dateRange->isChecked()) showScope();
    });
    connect(m_to, &QDateEdit::dateChanged, this, [this] {
        if (m_dateRange->isChecked()) showScope();
    });
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(m_scroll);
    auto* page = new QWidget(m_scroll);
    auto* layout = new QVBoxLayout(page);
    m_scroll->setWidget(page);

    m_scope = paragraph(page);
    layout->addWidget(m_scope);

    QVBoxLayout* in = nullptr;
    QGroupBox* fair = group(tr("Is this wheel fair?"), page, in);
    m_tests = new SplitTable({tr("Test"), tr("Figure"), tr("p"), tr("Reading")}, fair);
    in->addWidget(m_tests);
    m_meaning = paragraph(fair);
    in->addWidget(m_meaning);
    layout->addWidget(fair);

    QGroupBox* pockets = group(tr("Pockets"), page, in);
    m_betterThanEven = paragraph(pockets);
    in->addWidget(m_betterThanEven);
    m_pockets = new SplitTable({tr("Number"), tr("Count"), tr("z"), tr("1 in (mean)"),
                                tr("95 % between"), tr("Above 1/36")},
                               pockets);
    in->addWidget(m_pockets);
    layout->addWidget(pockets);

    QGroupBox* wheel = group(tr("Sectors and distances"), page, in);
    m_sectors = paragraph(wheel);
    in->addWidget(m_sectors);
    m_meanDistance = paragraph(wheel);
    in->addWidget(m_meanDistance);
    m_distances = new SplitTable({tr("Distance"), tr("Count"), tr("Fair"), tr("z")}, wheel);
    in->addWidget(m_distances);
    layout->addWidget(wheel);

    QGroupBox* plan = group(tr("Spins to find a favoured pocket"), page, in);
    m_plan =
        new SplitTable({tr("Pocket"), tr("Chi-square"), tr("Largest count"), tr("E-value")}, plan);
    in->addWidget(m_plan);
    m_planNote = paragraph(plan);
    in->addWidget(m_planNote);
    layout->addWidget(plan);
    layout->addStretch(1);
    // The choosers in line with the page's figures.
    const QMargins margins = layout->contentsMargins();
    m_choosers->setContentsMargins(margins.left(), margins.top(), margins.right(), 0);
    arrangeChoosers();

    showScope();
}

void WheelEvidenceView::arrangeChoosers() {
    const QMargins margins = m_choosers->contentsMargins();
    const int spacing = m_choosers->horizontalSpacing();
    const int rangeWidth = m_dateRange->sizeHint().width() + m_from->sizeHint().width() +
                           m_toName->sizeHint().width() + m_to->sizeHint().width() + 3 * spacing;
    const int wide = width() >= rangeWidth + margins.left() + margins.right() ? 1 : 0;
    if (wide == m_choosersWide) return;
    m_choosersWide = wide;
    for (QWidget* w : {static_cast<QWidget*>(m_scopeName), static_cast<QWidget*>(m_scopeChoice),
                       static_cast<QWidget*>(m_dateRange), static_cast<QWidget*>(m_from),
                       static_cast<QWidget*>(m_toName), static_cast<QWidget*>(m_to)})
        m_choosers->removeWidget(w);
    for (int c = 0; c < 5; ++c)
        m_choosers->setColumnStretch(c, 0);
    if (wide) {
        // Figures of: [scope.............]
        // [x] Only nights begun from [date] to [date]
        m_choosers->addWidget(m_scopeName, 0, 0);
        m_choosers->addWidget(m_scopeChoice, 0, 1, 1, 4);
        m_choosers->addWidget(m_dateRange, 1, 0, 1, 2);
        m_choosers->addWidget(m_from, 1, 2);
        m_choosers->addWidget(m_toName, 1, 3);
        m_choosers->addWidget(m_to, 1, 4);
        m_choosers->setColumnStretch(4, 1);
    } else {
        // Figures of:
        // [scope....]
        // [x] Only nights begun from
        // [date]
        // to [date]
        m_choosers->addWidget(m_scopeName, 0, 0, 1, 2);
        m_choosers->addWidget(m_scopeChoice, 1, 0, 1, 2);
        m_choosers->addWidget(m_dateRange, 2, 0, 1, 2);
        m_choosers->addWidget(m_from, 3, 0, 1, 2, Qt::AlignLeft);
        m_choosers->addWidget(m_toName, 4, 0);
        m_choosers->addWidget(m_to, 4, 1, Qt::AlignLeft);
        m_choosers->setColumnStretch(1, 1);
    }
}

void WheelEvidenceView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrangeChoosers();
}

void WheelEvidenceView::setSession(const WheelTallies& tallies) {
    m_session = tallies;
    if (!m_scopeChoice->currentData().isValid()) showScope();
}

void WheelEvidenceView::setJournal(vantel::journal::JournalStore* journal) {
    m_journal = journal;
    const QString chosen = m_scopeChoice->currentData().isValid()
                               ? m_scopeChoice->currentData().toList().value(1).toString()
                               : QString();
    {
        const QSignalBlocker quiet(m_scopeChoice);
        while (m_scopeChoice->count() > 1)
            m_scopeChoice->removeItem(1);
        if (m_journal) {
            try {
                for (const vantel::journal::WheelInfo& w : m_journal->wheels()) {
                    const QString name = QString::fromStdString(w.name);
                    m_scopeChoice->addItem(tr("Wheel '%1', whole journal").arg(name),
                                           QVariantList{qlonglong(w.id), name});
                }
            } catch (const std::exception& error) {
                set(m_session, tr("This window's session"));
                m_scope->setText(tr("The journal's wheels could not be read: %1")
                                     .arg(QString::fromUtf8(error.what())));
                return;
            }
        }
        m_scopeChoice->setCurrentIndex(0);
    }
    if (chosen.isEmpty() || !chooseWheel(chosen)) showScope();
}

bool WheelEvidenceView::chooseWheel(const QString& name) {
    for (int i = 1; i < m_scopeChoice->count(); ++i)
        if (m_scopeChoice->itemData(i).toList().value(1).toString() == name) {
            if (m_scopeChoice->currentIndex() == i) showScope();
            m_scopeChoice->setCurrentIndex(i);
            return true;
        }
    return false;
}

void WheelEvidenceView::refresh() {
    showScope();
}

void WheelEvidenceView::showScope() {
    const QVariant wheel = m_scopeChoice->currentData();
    m_dateRange->setEnabled(wheel.isValid());
    m_from->setEnabled(wheel.isValid() && m_dateRange->isChecked());
    m_to->setEnabled(wheel.isValid() && m_dateRange->isChecked());
    if (!wheel.isValid() || !m_journal) {
        set(m_session, tr("This window's session"));
        return;
    }
    const qlonglong id = wheel.toList().value(0).toLongLong();
    const QString name = wheel.toList().value(1).toString();
    vantel::journal::DateRange range;
    QString scope = tr("Wheel '%1', whole journal").arg(name);
    if (m_dateRange->isChecked()) {
        // From the first second of the first day to the last of the last, local time.
        range.from = m_from->date().startOfDay().toSecsSinceEpoch();
        range.to = m_to->date().addDays(1).startOfDay().toSecsSinceEpoch() - 1;
        scope = tr("Wheel '%1', nights begun %2 to %3")
                    .arg(name, m_from->date().toString(Qt::ISODate),
                         m_to->date().toString(Qt::ISODate));
    }
    try {
        set(m_journal->tallies(id, range), scope);
    } catch (const std::exception& error) {
        set(WheelTallies{}, scope);
        m_scope->setText(
            tr("%1 could not be read: %2").arg(scope, QString::fromUtf8(error.what())));
    }
}

void WheelEvidenceView::set(const WheelTallies& tallies, const QString& scope) {
    m_evidence = wheelEvidence(tallies);
    const WheelEvidence& e = m_evidence;
    m_scope->setText(tr("%1: %2 spins").arg(scope, whole(e.spins)));

    std::vector<QStringList> tests;
    const auto test = [&](const QString& name, const QString& figure, double p,
                          const char* reading) {
        tests.push_back({name, figure, pText(p), QString::fromUtf8(reading)});
    };
    const QString fromSpins = tr("from 37 spins");
    if (e.pockets)
        test(tr("37 counts, chi-square"), QString::number(e.pockets->chiSquare, 'f', 1),
             e.pockets->pValue, e.pockets->reading);
    else
        tests.push_back({tr("37 counts, chi-square"), fromSpins, "", ""});
    if (e.spins > 0)
        test(tr("Largest count"),
             tr("%1 came %2").arg(e.largest.number).arg(whole(e.largest.count)), e.largest.pValue,
             e.largest.reading);
    if (e.wheel.arcs)
        test(tr("Arcs, chi-square"), QString::number(e.wheel.arcs->chiSquare, 'f', 1),
             e.wheel.arcs->pValue, e.wheel.arcs->reading);
    if (e.wheel.distanceTest)
        test(tr("Distances, chi-square"), QString::number(e.wheel.distanceTest->chiSquare, 'f', 1),
             e.wheel.distanceTest->pValue, e.wheel.distanceTest->reading);
    if (e.repeatsP)
        test(tr("Repeats on the next spin"),
             tr("%1, fair %2")
                 .arg(whole(std::int64_t(e.wheel.distanceCounts[0])))
                 .arg(whole(std::llround(e.wheel.distanceExpected[0]))),
             *e.repeatsP, fairnessReading(*e.repeatsP));
    const QString eValue = e.evidence.log10EValue > 6
                               ? tr("10^%1").arg(e.evidence.log10EValue, 0, 'f', 1)
                               : QString::number(e.evidence.eValue, 'g', 3);
    tests.push_back({tr("E-value"), eValue, "", QString::fromUtf8(e.evidence.reading)});
    m_tests->setRows(std::move(tests));
    m_meaning->setText(QString::fromUtf8(kEvidenceMeaning));

    m_betterThanEven->setText(
        tr("Chance that some pocket pays better than even (comes more often than 1 in 36): %1. "
           "Each pocket's probability after these spins, from a prior that takes every set of "
           "probabilities as equally likely:")
            .arg(QString::number(e.pSomeBetterThanEven, 'g', 3)));
    std::vector<QStringList> rows;
    for (int n = 0; n < kWheelPockets; ++n) {
        const PocketPosterior& p = e.posterior[size_t(n)];
        rows.push_back({QString::number(n), whole(e.counts[size_t(n)]),
                        QString::number(e.z[size_t(n)], 'f', 2),
                        QString::number(1 / p.mean, 'f', 1),
                        tr("%1 to %2").arg(1 / p.high, 0, 'f', 1).arg(1 / p.low, 0, 'f', 1),
                        QString::number(p.pBetterThanEven, 'g', 3)});
    }
    m_pockets->setRows(std::move(rows));

    QString sectors;
    for (const WheelSector& s : e.wheel.sectors)
        sectors += tr("%1 (%2): %3, expected %4\n")
                       .arg(QString::fromUtf8(s.name), QString::fromUtf8(s.pockets))
                       .arg(whole(std::int64_t(s.count)))
                       .arg(s.expected, 0, 'f', 1);
    m_sectors->setText(sectors.trimmed());
    std::vector<QStringList> distances;
    for (int d = 0; d < kDistanceClasses; ++d)
        distances.push_back({d == 0 ? tr("0 (a repeat)") : QString::number(d),
                             whole(std::int64_t(e.wheel.distanceCounts[size_t(d)])),
                             QString::number(e.wheel.distanceExpected[size_t(d)], 'f', 1),
                             QString::number(e.distanceZ[size_t(d)], 'f', 2)});
    m_distances->setRows(std::move(distances));
    m_meanDistance->setText(tr("Pockets from each spin to the next within a night, never across "
                               "nights. Mean %1 (fair %2).")
                                .arg(e.wheel.meanDistance, 0, 'f', 2)
                                .arg(kFairMeanDistance, 0, 'f', 2));

    std::vector<QStringList> plan;
    for (const PlanRow& r : e.plan)
        plan.push_back({tr("%1 % more (1 in %2)")
                            .arg(100 * r.bias, 0, 'f', 1)
                            .arg(1 / r.probability, 0, 'f', 1),
                        whole(r.chiSquare), whole(r.largest), whole(r.eValue)});
    m_plan->setRows(std::move(plan));
    m_planNote->setText(tr("Each test finds such a pocket 8 times in 10 at the 5 % level after "
                           "the spins shown; this wheel has %1.")
                            .arg(whole(e.spins)));
}
