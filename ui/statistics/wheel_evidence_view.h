#pragma once

#include "wheel_evidence.h"

#include <QWidget>

class QLabel;
class QScrollArea;
class QTableWidget;

// A wheel's whole record at a glance, for a page of the Statistics window:
// whether it is fair (the 37-count chi-square, the largest count, the arcs,
// the distances between consecutive spins and the e-value, with what the
// e-value means), each pocket's count, z-score and posterior, the sectors, the
// distances, and how many spins each test needs to find a favoured pocket
// beside the spins the wheel has. It shows the tallies it is given; the page
// that holds it chooses their scope. It scrolls up and down only.
class WheelEvidenceView : public QWidget {
  public:
    explicit WheelEvidenceView(QWidget* parent = nullptr);
    // The tallies and what they are ("Table 3, whole journal").
    void set(const vantel::sim::WheelTallies& tallies, const QString& scope);
    const vantel::sim::WheelEvidence& evidence() const { return m_evidence; }

    QScrollArea* scrollArea() const { return m_scroll; }
    QTableWidget* testsTable() const { return m_tests; }
    QTableWidget* pocketsTable() const { return m_pockets; }
    QTableWidget* planTable() const { return m_plan; }
    QTableWidget* distancesTable() const { return m_distances; }
    QLabel* meaningLabel() const { return m_meaning; }

  private:
    vantel::sim::WheelEvidence m_evidence;
    QScrollArea* m_scroll;
    QLabel* m_scope;
    QTableWidget* m_tests;
    QLabel* m_meaning;
    QLabel* m_betterThanEven;
    QTableWidget* m_pockets;
    QLabel* m_sectors;
    QLabel* m_meanDistance;
    QTableWidget* m_distances;
    QTableWidget* m_plan;
    QLabel* m_planNote;
};
