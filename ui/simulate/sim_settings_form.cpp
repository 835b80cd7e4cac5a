#include "simulate/sim_settings_form.h"

#include "widgets/setting_choices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>

#include <algorithm>

using vantel::kSettingFields;
using vantel::SettingField;
using vantel::SettingKind;

SimSettingsForm::SimSettingsForm(const vantel::Settings& s, QWidget* dialog,
                                 const SpinBoxMaker& makeSpinBox)
    : QObject(dialog) {
    for (size_t i = 0; i < kSettingFields.size(); ++i) {
        const SettingField& f = kSettingFields[i];
        const QString name = settingText(f.formName);
        switch (f.kind) {
        case SettingKind::Choice: {
            auto* box = new QComboBox(dialog);
            box->setObjectName(name);
            box->addItems(choiceNames(f));
            connect(box, &QComboBox::currentIndexChanged, this, &SimSettingsForm::changed);
            m_fields[i] = box;
            break;
        }
        case SettingKind::Range: {
            QSpinBox* box = makeSpinBox(name, f.min, f.max, f.value(s));
            connect(box, &QSpinBox::valueChanged, this, &SimSettingsForm::changed);
            m_fields[i] = box;
            break;
        }
        case SettingKind::Flag: {
            auto* box = new QCheckBox(settingText(f.name.name), dialog);
            box->setObjectName(name);
            connect(box, &QCheckBox::toggled, this, &SimSettingsForm::changed);
            m_fields[i] = box;
            break;
        }
        }
    }
    setSettings(s);
}

void SimSettingsForm::setSettings(const vantel::Settings& s) {
    for (size_t i = 0; i < kSettingFields.size(); ++i) {
        const SettingField& f = kSettingFields[i];
        if (auto* box = qobject_cast<QComboBox*>(m_fields[i]))
            box->setCurrentIndex(std::clamp(f.value(s), 0, box->count() - 1));
        else if (auto* spin = qobject_cast<QSpinBox*>(m_fields[i]))
            spin->setValue(f.value(s));
        else if (auto* check = qobject_cast<QCheckBox*>(m_fields[i]))
            check->setChecked(f.value(s) != 0);
    }
}

vantel::Settings SimSettingsForm::settings() const {
    vantel::Settings s;
    for (size_t i = 0; i < kSettingFields.size(); ++i) {
        const SettingField& f = kSettingFields[i];
        if (auto* box = qobject_cast<QComboBox*>(m_fields[i]))
            f.setValue(s, box->currentIndex());
        else if (auto* spin = qobject_cast<QSpinBox*>(m_fields[i]))
            f.setValue(s, spin->value());
        else if (auto* check = qobject_cast<QCheckBox*>(m_fields[i]))
            f.setValue(s, check->isChecked());
    }
    return s;
}

void SimSettingsForm::addRows(
    vantel::SettingGroup group,
    const std::function<void(int, int, const QString&, QWidget*)>& row) const {
    const int column = group == vantel::SettingGroup::Every ? 0 : 1;
    int next = 0;
    for (size_t i = 0; i < kSettingFields.size(); ++i)
        if (kSettingFields[i].group == group)
            row(next++, column, settingText(kSettingFields[i].formCaption), m_fields[i]);
}

std::vector<QSpinBox*> SimSettingsForm::spinBoxes() const {
    std::vector<QSpinBox*> boxes;
    for (QWidget* field : m_fields)
        if (auto* spin = qobject_cast<QSpinBox*>(field)) boxes.push_back(spin);
    return boxes;
}
