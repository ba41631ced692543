// Texts of the statistics screens: the rows of figures and the shares of a breakdown, in the resource
// library's words.
#pragma once

#include "stats/StatsReport.h"

#include <array>
#include <string>

// One row of the statistics screen: its id (also the resource id of its usual label), label and value.
struct StatsRow {
    UINT id = 0;
    std::u16string label;
    std::u16string value;
};

constexpr int kStatsRowCount = 7;

// The seven rows for the report's last run over the folder of that kind.
std::array<StatsRow, kStatsRowCount> StatsRows(const StatsReport& report, DWORD folderKind);

// A breakdown row's value: count of total, with its share in whole percent once that reaches 1.
std::u16string ShareText(DWORD count, DWORD total);

// Resource string id; empty when it is missing.
std::u16string ResourceString(UINT id);
