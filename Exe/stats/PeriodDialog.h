// The period dialog: the first and last day of the period to count, each in a date picker. Moving the first
// day onto or past the last moves the last to the day after; a last day before the first is refused.
#pragma once

#include "schedule/DateTime.h"
#include "ui/DialogBase.h"

class PeriodDialog : public DialogBase {
public:
    PeriodDialog(const DateTime& first, const DateTime& last) : m_first(first), m_last(last) {}

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

    // After done: the first day at 00:00:00 and the last at 23:59:59.
    const DateTime& First() const { return m_first; }
    const DateTime& Last() const { return m_last; }

private:
    HRESULT OnInitDialog();
    void KeepLastDayAfterFirst();
    bool OnDone();

    DateTime m_first;
    DateTime m_last;
};
