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
        // 3: the contact store. Object identifiers count up from 1 and are never reused, so a deleted
        // contact's identifier stays unknown.
        R"sql(
        CREATE TABLE contacts (
            oid INTEGER PRIMARY KEY AUTOINCREMENT,
            file_as TEXT NOT NULL,        -- the filing name, shown in every list
            mobile TEXT NOT NULL DEFAULT '' -- the mobile number; empty when the contact has none
        );
        CREATE INDEX contacts_file_as ON contacts(file_as COLLATE NOCASE);
        )sql",
    };
    return steps;
}

} // namespace device
