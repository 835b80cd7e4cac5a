#pragma once

#include "settings.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QSpinBox;
class QWidget;

// The Simulate dialog's settings: one field for each row of the field table
// (settings.h), a drop-down list for a choice, a spin box for a range and a
// check box for a flag, each named by the table. The fields are the
// dialog's children, made in the table's order; the dialog lays them out.
class SimSettingsForm : public QObject {
    Q_OBJECT
  public:
    // How the dialog makes a spin box: named, with its range and value.
    using SpinBoxMaker =
        std::function<QSpinBox*(const QString& name, int low, int high, int value)>;

    SimSettingsForm(const vantel::Settings& settings, QWidget* dialog,
                    const SpinBoxMaker& makeSpinBox);

    void setSettings(const vantel::Settings& settings);
    vantel::Settings settings() const;

    // Hands each field of the group to `row`, in the table's order, with its
    // caption (made now; none for a check box) and its place when tall: the
    // row within the group, every game's settings in column 0 and
    // Sequential's in column 1.
    void addRows(vantel::SettingGroup group,
                 const std::function<void(int row, int column, const QString& caption,
                                          QWidget* field)>& row) const;
    // The spin boxes, in the table's order.
    std::vector<QSpinBox*> spinBoxes() const;

  signals:
    // A field's value changed, by the player or by setSettings.
    void changed();

  private:
    std::array<QWidget*, vantel::kSettingCount> m_fields{};
};
