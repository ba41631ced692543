// The six features of the main screen. Each screen runs as a modal dialog of the resource library; the
// first row opens the system's text-message form addressed to the user's own number.
#include "app/Binding.h"
#include "app/FeatureEntry.h"
#include "app/MainWindow.h"
#include "autoreply/AutoReplySettingsDialog.h"
#include "backup/BackupScreenDialog.h"
#include "contacts/GroupsDialog.h"
#include "schedule/ScheduleListDialog.h"
#include "stats/StatisticsScreen.h"
#include "ui/DialogBase.h"
#include "ui/TextEntryDialog.h"

#include "ids.h"

namespace {

constexpr int kOwnNumberCapacity = 256;
constexpr DWORD kCellularLineAddress = 1;

class MessageToOwnNumber final : public FeatureEntry {
public:
    using FeatureEntry::FeatureEntry;

    // The stored number, else the number the user confirms (offered from the phone's own number), which
    // is then kept.
    HRESULT Action(HWND owner) const override
    {
        Settings& settings = g_mainWindow.GetSettings();
        LPCWSTR number = settings.MyNumber();
        if (number && *number)
            return utils::ComposeSms(number);
        WCHAR ownNumber[kOwnNumberCapacity] = {};
        if (FAILED(utils::GetOwnNumber(ownNumber, kOwnNumberCapacity, kCellularLineAddress)))
            ownNumber[0] = 0;
        ownNumber[kOwnNumberCapacity - 1] = 0;
        TextEntryDialog entry(IDS_MY_NUMBER_CAPTION, TRUE, ownNumber, Settings::kMyNumberLength);
        if (RunDialog(IDD_TEXT_ENTRY, owner, entry) != IDOK)
            return E_FAIL;
        if (FAILED(settings.SetMyNumber(entry.Text())))
            return E_OUTOFMEMORY;
        return utils::ComposeSms(settings.MyNumber());
    }
};

// A feature whose screen is run, and judged, by the function that knows it.
class ScreenFeature final : public FeatureEntry {
public:
    constexpr ScreenFeature(DWORD closesMain, WORD iconId, UINT titleId, UINT subtitleId, HRESULT (*run)(HWND))
        : FeatureEntry(closesMain, iconId, titleId, subtitleId), m_run(run)
    {}

    HRESULT Action(HWND owner) const override { return m_run(owner); }

private:
    HRESULT (*m_run)(HWND);
};

const MessageToOwnNumber kMessageToMe{1, IDI_FEATURE_MESSAGE_TO_ME, IDS_FEATURE_MESSAGE_TO_ME,
                                      IDS_FEATURE_MESSAGE_TO_ME_NOTE};
const ScreenFeature kGroups{1, IDI_FEATURE_GROUPS, IDS_FEATURE_GROUPS, IDS_FEATURE_GROUPS_NOTE, &ShowGroupsScreen};
const ScreenFeature kAutoReply{1, IDI_FEATURE_AUTO_REPLY, IDS_FEATURE_AUTO_REPLY, IDS_FEATURE_AUTO_REPLY_NOTE,
                               &RunAutoReplySettings};
const ScreenFeature kScheduled{1, IDI_FEATURE_SCHEDULED, IDS_FEATURE_SCHEDULED, IDS_FEATURE_SCHEDULED_NOTE,
                               &ShowScheduledScreen};
const ScreenFeature kStatistics{0, IDI_FEATURE_STATISTICS, IDS_FEATURE_STATISTICS, IDS_FEATURE_STATISTICS_NOTE,
                                &ShowStatisticsScreen};
const ScreenFeature kBackup{1, IDI_FEATURE_BACKUP, IDS_FEATURE_BACKUP, IDS_FEATURE_BACKUP_NOTE, &ShowBackupScreen};

const FeatureEntry* const kRows[kFeatureRowCount] = {&kMessageToMe, &kGroups,     &kAutoReply,
                                                     &kScheduled,   &kStatistics, &kBackup};

} // namespace

const FeatureEntry& FeatureAt(int row)
{
    return *kRows[row];
}
