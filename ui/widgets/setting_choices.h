#pragma once

#include "settings.h"

#include <QString>
#include <QStringList>

#include <string_view>

// A setting's choices as a drop-down list shows them.
template <size_t N> QStringList choiceNames(const vantel::ChoiceSetting<N>& setting) {
    QStringList names;
    for (std::string_view choice : setting.choices)
        names.append(QString::fromUtf8(choice.data(), static_cast<qsizetype>(choice.size())));
    return names;
}

// A field's choices, from the field table.
inline QStringList choiceNames(const vantel::SettingField& field) {
    QStringList names;
    for (int i = 0; i < field.choiceCount; ++i) {
        const std::string_view choice = field.choiceName(i);
        names.append(QString::fromUtf8(choice.data(), static_cast<qsizetype>(choice.size())));
    }
    return names;
}

inline QString settingText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
