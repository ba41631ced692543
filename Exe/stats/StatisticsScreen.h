// The statistics screen: seven rows of figures about the received or sent texts of a period, with the
// folder and period chosen from its menu, a custom period and the breakdowns a row opens.
#pragma once

#include "stats/StatsReport.h"
#include "stats/StatsText.h"
#include "ui/DialogBase.h"
#include "ui/OwnerDrawList.h"

#include <array>

class StatisticsScreen : public DialogBase {
public:
    StatisticsScreen() = default;

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    // The rows as last filled; each row's item data is its row id.
    class Rows : public OwnerDrawList {
    public:
        explicit Rows(StatisticsScreen& screen);
        HRESULT Fill(const std::array<StatsRow, kStatsRowCount>& rows);
        HRESULT Activate(int row) override;
        void DrawRow(const DRAWITEMSTRUCT& item) override;

    private:
        StatisticsScreen& m_screen;
        std::array<StatsRow, kStatsRowCount> m_rows;
    };

    HRESULT OnInitDialog();
    void OnCommand(UINT command);
    HRESULT ActivateRow(int row);
    HRESULT Refill(DWORD folderKind);
    HRESULT ApplyPreset(UINT command);
    HRESULT ChoosePeriod();
    HRESULT ShowBreakdown(DWORD tableKind);

    StatsReport m_report;
    Rows m_rows{*this};
    DWORD m_folderKind = kReceivedFolder;
};

// Runs the statistics screen over owner: a failure only when it could not be shown, as it has nothing to
// confirm.
HRESULT ShowStatisticsScreen(HWND owner);
