#include "device/Schema.h"

namespace device {

// Steps are only ever appended: a device created by an older build is brought forward by the rest.
const std::vector<std::string>& SchemaSteps()
{
    static const std::vector<std::string> steps = {
        // 1: the profile, the clock and the registry.
        R"sql(
        CREATE TABLE profile (name TEXT PRIMARY KEY, value TEXT NOT NULL);
        CREATE TABLE clock (
            id INTEGER PRIMARY KEY CHECK (id = 1),
            manual INTEGER NOT NULL,      -- 1: frozen at now_ticks; 0: host time plus offset_ticks
            now_ticks INTEGER NOT NULL,   -- UTC FILETIME ticks while manual
            offset_ticks INTEGER NOT NULL,
            boot_ticks INTEGER NOT NULL   -- UTC FILETIME ticks at which the tick count was zero
        );
        CREATE TABLE reg_keys (
            id INTEGER PRIMARY KEY AUTOINCREMENT, -- never reused: a handle to a deleted key stays stale
            parent INTEGER REFERENCES reg_keys(id) ON DELETE CASCADE,
            name TEXT NOT NULL,           -- as created
            folded TEXT NOT NULL,         -- case-folded, for lookups
            class_name TEXT NOT NULL DEFAULT '',
            depth INTEGER NOT NULL DEFAULT 0, -- levels below the hive's root
            written INTEGER NOT NULL DEFAULT 0 -- UTC FILETIME ticks of the last change
        );
        CREATE UNIQUE INDEX reg_keys_child ON reg_keys(parent, folded);
        CREATE TABLE reg_values (
            id INTEGER PRIMARY KEY,       -- creation order, which is the enumeration order
            key INTEGER NOT NULL REFERENCES reg_keys(id) ON DELETE CASCADE,
            name TEXT NOT NULL,
            folded TEXT NOT NULL,
            type INTEGER NOT NULL,
            data BLOB NOT NULL
        );
        CREATE UNIQUE INDEX reg_values_name ON reg_values(key, folded);
        INSERT INTO reg_keys (id, parent, name, folded) VALUES (1, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user');
        INSERT INTO reg_keys (id, parent, name, folded) VALUES (2, NULL, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');
        )sql",
        // 2: registered window messages, numbered device-wide.
        R"sql(
        CREATE TABLE window_messages (name TEXT PRIMARY KEY, number INTEGER NOT NULL UNIQUE);
        )sql",
        // 3: the message stores (MAPI), their folders, messages and recipients; what the messaging
        // application was asked to show (compose forms, account switches).
        R"sql(
        CREATE TABLE mapi_stores (
            id INTEGER PRIMARY KEY,
            display_name TEXT NOT NULL UNIQUE, -- PR_DISPLAY_NAME, the account's name
            transport TEXT NOT NULL UNIQUE,    -- the transport's name, the other way to name the account
            mail INTEGER NOT NULL              -- 1: an e-mail account; 0: text messages
        );
        CREATE TABLE mapi_folders (
            id INTEGER PRIMARY KEY,
            store INTEGER NOT NULL REFERENCES mapi_stores(id),
            role INTEGER NOT NULL,             -- 1 inbox, 2 drafts, 3 outbox, 4 sent items, 5 deleted items
            display_name TEXT NOT NULL,
            content_count INTEGER NOT NULL DEFAULT 0, -- kept by the triggers below: PR_CONTENT_COUNT is one read
            UNIQUE (store, role)
        );
        CREATE TABLE mapi_messages (
            id INTEGER PRIMARY KEY AUTOINCREMENT, -- never reused: the entry identifier of a deleted message stays unknown
            folder INTEGER NOT NULL REFERENCES mapi_folders(id),
            -- PR_MESSAGE_DELIVERY_TIME (UTC FILETIME ticks) as the contents table's sort key; the smallest
            -- value while the message has none, so such messages sort as the oldest.
            delivery_time INTEGER NOT NULL DEFAULT -9223372036854775808,
            submitted INTEGER NOT NULL DEFAULT 0  -- 1 from SubmitMessage until the transport has sent it
        );
        -- A contents table sorted by delivery time walks this index: reading a row costs the same in any folder.
        CREATE INDEX mapi_messages_by_delivery ON mapi_messages(folder, delivery_time, id);
        CREATE TABLE mapi_message_props (
            message INTEGER NOT NULL REFERENCES mapi_messages(id) ON DELETE CASCADE,
            prop_id INTEGER NOT NULL,          -- the tag's high word: one value per identifier
            type INTEGER NOT NULL,             -- the tag's low word (PT_LONG, PT_UNICODE, ...)
            value BLOB NOT NULL,               -- the value's bytes: little-endian numbers, UTF-16 text
            PRIMARY KEY (message, prop_id)
        ) WITHOUT ROWID;
        CREATE TABLE mapi_recipients (
            id INTEGER PRIMARY KEY,            -- the order the recipients were given in
            message INTEGER NOT NULL REFERENCES mapi_messages(id) ON DELETE CASCADE
        );
        CREATE INDEX mapi_recipients_of_message ON mapi_recipients(message, id);
        CREATE TABLE mapi_recipient_props (
            recipient INTEGER NOT NULL REFERENCES mapi_recipients(id) ON DELETE CASCADE,
            position INTEGER NOT NULL,         -- the order the properties were given in
            prop_id INTEGER NOT NULL,
            type INTEGER NOT NULL,
            value BLOB NOT NULL,
            PRIMARY KEY (recipient, position)
        ) WITHOUT ROWID;
        CREATE TRIGGER mapi_messages_added AFTER INSERT ON mapi_messages BEGIN
            UPDATE mapi_folders SET content_count = content_count + 1 WHERE id = NEW.folder;
        END;
        CREATE TRIGGER mapi_messages_removed AFTER DELETE ON mapi_messages BEGIN
            UPDATE mapi_folders SET content_count = content_count - 1 WHERE id = OLD.folder;
        END;
        CREATE TRIGGER mapi_messages_moved AFTER UPDATE OF folder ON mapi_messages
            WHEN NEW.folder <> OLD.folder BEGIN
            UPDATE mapi_folders SET content_count = content_count - 1 WHERE id = OLD.folder;
            UPDATE mapi_folders SET content_count = content_count + 1 WHERE id = NEW.folder;
        END;
        CREATE TABLE mail_requests (
            id INTEGER PRIMARY KEY,            -- the order they were asked in
            request TEXT NOT NULL,             -- 'compose' (MailComposeMessage) or 'switch' (MailSwitchToAccount)
            account BLOB,                      -- UTF-16, as given (a name or a transport, as flags say)
            store INTEGER REFERENCES mapi_stores(id), -- the account that names; NULL when none was named
            flags INTEGER NOT NULL,
            to_text BLOB, cc_text BLOB, bcc_text BLOB, subject BLOB, body BLOB, message_class BLOB, -- UTF-16
            asked_at INTEGER NOT NULL          -- UTC FILETIME ticks of the device clock
        );
        CREATE TABLE mail_request_attachments (
            request INTEGER NOT NULL REFERENCES mail_requests(id) ON DELETE CASCADE,
            position INTEGER NOT NULL,
            path BLOB NOT NULL,                -- UTF-16 device path
            PRIMARY KEY (request, position)
        ) WITHOUT ROWID;
        -- Every device has the text-message account and an ActiveSync e-mail account, each with its folders.
        INSERT INTO mapi_stores (id, display_name, transport, mail) VALUES (1, 'ActiveSync', 'ActiveSync', 1);
        INSERT INTO mapi_stores (id, display_name, transport, mail) VALUES (2, 'SMS', 'SMS', 0);
        INSERT INTO mapi_folders (store, role, display_name)
            SELECT s.id, f.role, f.name FROM mapi_stores s,
                (SELECT 1 AS role, 'Inbox' AS name UNION ALL SELECT 2, 'Drafts' UNION ALL SELECT 3, 'Outbox'
                 UNION ALL SELECT 4, 'Sent Items' UNION ALL SELECT 5, 'Deleted Items') f
            ORDER BY s.id, f.role;
        )sql",
        // 4: the shell's instance claims: which process runs the one instance of a window class.
        R"sql(
        CREATE TABLE shell_instance_claims (
            class TEXT PRIMARY KEY,       -- the window class name, case-folded
            pid INTEGER NOT NULL,         -- the claiming host process
            started INTEGER NOT NULL,     -- its start time, so a reused process id is not taken for it
            claim INTEGER NOT NULL        -- which claim of that process, released by closing its handle
        );
        )sql",
        // 5: running processes and their top-level windows, registry value notifications, run-at-time
        // registrations.
        R"sql(
        CREATE TABLE processes (
            pid INTEGER PRIMARY KEY,
            host_start INTEGER NOT NULL,  -- when the host started the process; tells a reused pid apart
            started INTEGER NOT NULL,     -- UTC FILETIME ticks of the device clock at the start
            program TEXT NOT NULL,        -- host path of the program file
            command_line TEXT NOT NULL
        );
        CREATE TABLE windows (
            hwnd INTEGER PRIMARY KEY,
            pid INTEGER NOT NULL REFERENCES processes(pid) ON DELETE CASCADE,
            thread INTEGER NOT NULL,
            class TEXT NOT NULL,
            class_folded TEXT NOT NULL,
            title TEXT NOT NULL,
            visible INTEGER NOT NULL DEFAULT 0,
            activated INTEGER NOT NULL DEFAULT 0 -- device-wide activation order, larger is more recent
        );
        CREATE INDEX windows_class ON windows(class_folded);
        CREATE INDEX windows_pid ON windows(pid);
        CREATE TABLE reg_watches (
            id INTEGER PRIMARY KEY AUTOINCREMENT, -- never reused: a closed notification handle stays stale
            kind INTEGER NOT NULL,        -- 0 program (persistent), 1 window, 2 callback
            name TEXT UNIQUE,             -- persistent ones only
            key_path TEXT NOT NULL,       -- case-folded, from the hive's root: 'hkey_current_user\system\state'
            value_name TEXT NOT NULL,     -- case-folded; empty for the default value
            comparison INTEGER NOT NULL,
            mask INTEGER NOT NULL,
            target_dword INTEGER NOT NULL,
            target_text TEXT NOT NULL,
            message INTEGER NOT NULL DEFAULT 0,
            program TEXT,                 -- persistent: what to start, the window to tell and the flags
            window_class TEXT,
            window_title TEXT,
            flags INTEGER NOT NULL DEFAULT 0,
            owner_pid INTEGER,            -- transient: the registering process, its window and user data
            owner_start INTEGER,
            hwnd INTEGER,
            user_data INTEGER NOT NULL DEFAULT 0
        );
        CREATE INDEX reg_watches_value ON reg_watches(value_name, key_path);
        CREATE TABLE pending_deliveries (
            id INTEGER PRIMARY KEY,
            watch INTEGER NOT NULL,       -- the persistent notification that started the program
            pid INTEGER NOT NULL,         -- the program started for it, which takes the message once its window
            host_start INTEGER NOT NULL,  -- appears
            window_class TEXT,
            window_title TEXT,
            message INTEGER NOT NULL,
            wparam INTEGER NOT NULL,
            lparam INTEGER NOT NULL
        );
        CREATE TABLE run_at_time (
            app_folded TEXT PRIMARY KEY,  -- one registration per application, named in any case
            application TEXT NOT NULL,
            due_local INTEGER NOT NULL    -- local FILETIME ticks, as registered
        );
        )sql",
        // 6: the contact store. Object identifiers count up from 1 and are never reused, so a deleted
        // contact's identifier stays unknown.
        R"sql(
        CREATE TABLE contacts (
            oid INTEGER PRIMARY KEY AUTOINCREMENT,
            file_as TEXT NOT NULL,        -- the filing name, shown in every list
            mobile TEXT NOT NULL DEFAULT '' -- the mobile number; empty when the contact has none
        );
        CREATE INDEX contacts_file_as ON contacts(file_as COLLATE NOCASE);
        )sql",
        // 7: a contact's business and home telephone numbers beside the mobile one.
        R"sql(
        ALTER TABLE contacts ADD COLUMN work TEXT NOT NULL DEFAULT '';
        ALTER TABLE contacts ADD COLUMN home TEXT NOT NULL DEFAULT '';
        )sql",
        // 8: the attachments of messages, numbered within their message, with their property values.
        R"sql(
        CREATE TABLE mapi_attachments (
            id INTEGER PRIMARY KEY,
            message INTEGER NOT NULL REFERENCES mapi_messages(id) ON DELETE CASCADE,
            num INTEGER NOT NULL,              -- PR_ATTACH_NUM: 0, 1, ... in the order they were created
            UNIQUE (message, num)
        );
        CREATE TABLE mapi_attachment_props (
            attachment INTEGER NOT NULL REFERENCES mapi_attachments(id) ON DELETE CASCADE,
            prop_id INTEGER NOT NULL,
            type INTEGER NOT NULL,
            value BLOB NOT NULL,
            PRIMARY KEY (attachment, prop_id)
        ) WITHOUT ROWID;
        )sql",
    };
    return steps;
}

} // namespace device
