#pragma once

#include "journal_store.h"
#include "wheel_evidence.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QGridLayout;
class QScrollArea;
class SplitTable;

// A wheel's whole record at a glance, for a page of the Statistics window:
// whether it is fair (the 37-count chi-square, the largest count, the arcs,
// the distances between consecutive spins and the e-value, with what the
// e-value means), each pocket's count, z-score and posterior, the sectors, the
// distances, and how many spins each test needs to find a favoured pocket
// beside the spins the wheel has. Its scope is the window's session or a
// wheel's whole journal, optionally only the nights begun within a range of
// dates; a wheel's figures come from its nights' running tallies. It scrolls
// up and down only, at any width: its tables split into parts one under the
// other and its choosers stack where the page is narrow.
class WheelEvidenceView : public QWidget {
  public:
    explicit WheelEvidenceView(QWidget* parent = nullptr);
    // The window's session, shown while the scope is the session.
    void setSession(const vantel::sim::WheelTallies& tallies);
    // The journal whose wheels the scope offers (not owned; null for none).
    void setJournal(vantel::journal::JournalStore* journal);
    // Chooses a wheel of the journal by name; false when there is none.
    bool chooseWheel(const QString& name);
    // Reads the chosen wheel's tallies again (after spins were recorded).
    void refresh();
    // Shows these tallies, described as scope ("Table 3, whole journal").
    void set(const vantel::sim::WheelTallies& tallies, const QString& scope);
    const vantel::sim::WheelEvidence& evidence() const { return m_evidence; }

    QScrollArea* scrollArea() const { return m_scroll; }
    SplitTable* testsTable() const { return m_tests; }
    SplitTable* pocketsTable() const { return m_pockets; }
    SplitTable* planTable() const { return m_plan; }
    SplitTable* distancesTable() const { return m_distances; }
    QLabel* meaningLabel() const { return m_meaning; }
    QComboBox* scopeChoice() const { return m_scopeChoice; }
    QCheckBox* dateRangeChoice() const { return m_dateRange; }
    QDateEdit* fromDate() const { return m_from; }
    QDateEdit* toDate() const { return m_to; }
    QLabel* scopeLabel() const { return m_scope; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void showScope();
    // The choosers in one row each where they fit, one under the other where not.
    void arrangeChoosers();

    vantel::sim::WheelEvidence m_evidence;
    vantel::sim::WheelTallies m_session;
    vantel::journal::JournalStore* m_journal = nullptr;
    QGridLayout* m_choosers;
    QLabel* m_scopeName;
    QLabel* m_toName;
    int m_choosersWide = -1;
    QComboBox* m_scopeChoice;
    QCheckBox* m_dateRange;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QScrollArea* m_scroll;
    QLabel* m_scope;
    SplitTable* m_tests;
    QLabel* m_meaning;
    QLabel* m_betterThanEven;
    SplitTable* m_pockets;
    QLabel* m_sectors;
    QLabel* m_meanDistance;
    SplitTable* m_distances;
    SplitTable* m_plan;
    QLabel* m_planNote;
};
