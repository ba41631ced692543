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
        // 3: running processes and their top-level windows, registry value notifications, run-at-time
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
    };
    return steps;
}

} // namespace device
