// The breakdown screen: every contact, weekday or hour of the report's last run with its count and share,
// busiest first. It closes at once when there is nothing to show.
#pragma once

#include "stats/StatsReport.h"
#include "ui/DialogBase.h"
#include "ui/OwnerDrawList.h"

class BreakdownScreen : public DialogBase {
public:
    BreakdownScreen(const StatsReport& report, DWORD tableKind);

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    // Each row's item data is its table entry.
    class Rows : public OwnerDrawList {
    public:
        explicit Rows(DWORD total);
        HRESULT Fill(std::span<const TallyEntry> table);
        HRESULT Activate(int row) override;
        void DrawRow(const DRAWITEMSTRUCT& item) override;

    private:
        DWORD m_total;
    };

    HRESULT OnInitDialog();

    const StatsReport& m_report;
    DWORD m_tableKind;
    Rows m_rows;
};
