// A fresh device with a MAPI session, and what the SMS store holds as the device and MAPI show it.
#pragma once

#include "services/MapiTesting.h"

#include "cemapi/SmsDevice.h"

#include <string>
#include <vector>

namespace program_testing {

using namespace mapi_testing;
using device::sms::Folder;

inline std::vector<device::sms::Message> ListOf(Folder folder)
{
    std::vector<device::sms::Message> messages;
    device::sms::List(folder, [&](const device::sms::Message& m) {
        messages.push_back(m);
        return true;
    });
    return messages;
}

// Messages in any folder, drafts included.
inline size_t MessageCount()
{
    size_t count = 0;
    for (Folder folder : {Folder::Inbox, Folder::Sent, Folder::Outbox, Folder::Drafts})
        count += ListOf(folder).size();
    return count;
}

class StoreTest : public MapiTest {
protected:
    // The stored message's properties with these tags, an absent one as PT_ERROR.
    Props PropsOf(Bytes id, std::vector<ULONG> tags)
    {
        std::vector<ULONG> array(1, static_cast<ULONG>(tags.size()));
        array.insert(array.end(), tags.begin(), tags.end());
        Props props;
        if (Ref<IMessage> message = OpenMessage(id))
            message->GetProps(reinterpret_cast<LPSPropTagArray>(array.data()), MAPI_UNICODE, &props.count,
                              &props.values);
        return props;
    }

    // For each recipient, the tags of the properties it carries.
    std::vector<std::vector<ULONG>> RecipientTags(Bytes id)
    {
        std::vector<std::vector<ULONG>> recipients;
        Ref<IMessage> message = OpenMessage(id);
        Ref<IMAPITable> table;
        if (!message || message->GetRecipientTable(MAPI_UNICODE, table.Out()) != S_OK)
            return recipients;
        SizedSPropTagArray(4, columns) = {4, {PR_EMAIL_ADDRESS, PR_ADDRTYPE, PR_RECIPIENT_TYPE, PR_DISPLAY_NAME}};
        EXPECT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
        for (;;) {
            Rows rows;
            EXPECT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
            if (!rows.set || rows.set->cRows == 0)
                return recipients;
            std::vector<ULONG> tags;
            for (ULONG i = 0; i < rows.set->aRow[0].cValues; ++i) {
                ULONG tag = rows.set->aRow[0].lpProps[i].ulPropTag;
                if (PROP_TYPE(tag) != PT_ERROR)
                    tags.push_back(tag);
            }
            recipients.push_back(tags);
        }
    }
};

} // namespace program_testing
