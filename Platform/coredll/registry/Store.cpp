#include "registry/Store.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "notify/Delivery.h"
#include "registry/Names.h"

#include <algorithm>
#include <new>

namespace device::registry {

namespace {

LONG ErrorForDatabase(int code)
{
    switch (code & 0xFF) {
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_NOMEM: return ERROR_OUTOFMEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ERROR_REGISTRY_CORRUPT;
    default: return ERROR_REGISTRY_IO_FAILED;
    }
}

// Runs one registry operation against the device database, turning failures into error codes.
template <class Work>
LONG Guarded(Work work)
{
    try {
        return work(Db());
    } catch (const DatabaseError& e) {
        return ErrorForDatabase(e.Code());
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (const std::exception&) {
        return ERROR_REGISTRY_IO_FAILED;
    }
}

bool Exists(Database& db, int64_t key)
{
    Statement row(db, "SELECT 1 FROM reg_keys WHERE id = ?");
    return row.Bind(1, key).Step();
}

// The key's depth below its hive's root, or -1 when the key is gone.
int Depth(Database& db, int64_t key)
{
    Statement row(db, "SELECT depth FROM reg_keys WHERE id = ?");
    return row.Bind(1, key).Step() ? static_cast<int>(row.Int(0)) : -1;
}

// 0 when the parent has no such child.
int64_t FindChild(Database& db, int64_t parent, std::u16string_view name)
{
    Statement row(db, "SELECT id FROM reg_keys WHERE parent = ? AND folded = ?");
    return row.Bind(1, parent).Bind(2, Folded(name)).Step() ? row.Int(0) : 0;
}

LONG Walk(Database& db, int64_t from, const std::vector<std::u16string_view>& names, int64_t* key)
{
    if (!Exists(db, from))
        return ERROR_KEY_DELETED;
    int64_t current = from;
    for (std::u16string_view name : names) {
        current = FindChild(db, current, name);
        if (current == 0)
            return ERROR_FILE_NOT_FOUND;
    }
    *key = current;
    return ERROR_SUCCESS;
}

// Writers read the clock before taking the database: the clock takes the device lock, and taking the two in
// the other order elsewhere could deadlock.
void Touch(Database& db, int64_t key, int64_t now)
{
    Statement touch(db, "UPDATE reg_keys SET written = ? WHERE id = ?");
    touch.Bind(1, now).Bind(2, key).Execute();
}

int64_t InsertKey(Database& db, int64_t parent, std::u16string_view name, std::u16string_view className,
                  int depth, int64_t now)
{
    Statement insert(db, "INSERT INTO reg_keys (parent, name, folded, class_name, depth, written) "
                         "VALUES (?, ?, ?, ?, ?, ?)");
    insert.Bind(1, parent)
        .Bind(2, StoredText(name))
        .Bind(3, Folded(name))
        .Bind(4, StoredText(className))
        .Bind(5, depth)
        .Bind(6, now)
        .Execute();
    return db.LastInsertId();
}

Value ValueFrom(const Statement& row, int first)
{
    return {NameFromStored(row.Text(first)), static_cast<DWORD>(row.Int(first + 1)), row.Blob(first + 2)};
}

Subkey SubkeyFrom(const Statement& row)
{
    return {NameFromStored(row.Text(0)), NameFromStored(row.Text(1)), row.Int(2)};
}

DWORD Longer(DWORD longest, const std::string& storedName)
{
    return std::max(longest, static_cast<DWORD>(NameFromStored(storedName).size()));
}

bool HiveNamed(std::u16string_view text, std::u16string_view shortName, std::u16string_view longName)
{
    auto same = [&](std::u16string_view name) {
        if (text.size() != name.size())
            return false;
        for (size_t i = 0; i < text.size(); ++i) {
            char16_t c = text[i] >= u'a' && text[i] <= u'z' ? text[i] - u'a' + u'A' : text[i];
            if (c != name[i])
                return false;
        }
        return true;
    };
    return same(shortName) || same(longName);
}

// Splits "HKCU\rest" into the hive's root key and the rest of the path.
LONG SplitHive(std::u16string_view path, int64_t* root, std::u16string_view* rest)
{
    size_t end = path.find(u'\\');
    std::u16string_view hive = path.substr(0, end);
    *rest = end == std::u16string_view::npos ? std::u16string_view() : path.substr(end + 1);
    if (HiveNamed(hive, u"HKCU", u"HKEY_CURRENT_USER"))
        *root = kCurrentUser;
    else if (HiveNamed(hive, u"HKLM", u"HKEY_LOCAL_MACHINE"))
        *root = kLocalMachine;
    else
        return ERROR_BAD_PATHNAME;
    return ERROR_SUCCESS;
}

} // namespace

LONG CheckKey(int64_t key)
{
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        return Exists(db, key) ? ERROR_SUCCESS : ERROR_KEY_DELETED;
    });
}

LONG OpenKey(int64_t from, std::u16string_view subKey, int64_t* key)
{
    std::vector<std::u16string_view> names;
    if (LONG rc = SplitSubKey(subKey, &names))
        return rc;
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        return Walk(db, from, names, key);
    });
}

LONG CreateKey(int64_t from, std::u16string_view subKey, std::u16string_view className, int64_t* key,
               bool* created)
{
    if (className.size() > kMaxClassName)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string_view> names;
    if (LONG rc = SplitSubKey(subKey, &names))
        return rc;
    return Guarded([&](Database& db) -> LONG {
        int64_t now = NowTicks();
        // Looking up and inserting in one write transaction: two processes creating the same path meet
        // one key.
        Transaction tx(db);
        int depth = Depth(db, from);
        if (depth < 0)
            return ERROR_KEY_DELETED;
        int64_t current = from;
        bool madeLast = false;
        for (size_t i = 0; i < names.size(); ++i) {
            int64_t child = FindChild(db, current, names[i]);
            madeLast = child == 0;
            if (madeLast) {
                if (depth + 1 > kMaxDepth)
                    return ERROR_INVALID_PARAMETER;
                bool last = i + 1 == names.size();
                child = InsertKey(db, current, names[i], last ? className : std::u16string_view(), depth + 1,
                                  now);
            }
            current = child;
            ++depth;
        }
        tx.Commit();
        *key = current;
        *created = madeLast;
        return ERROR_SUCCESS;
    });
}

LONG DeleteKey(int64_t from, std::u16string_view subKey)
{
    std::vector<std::u16string_view> names;
    if (LONG rc = SplitSubKey(subKey, &names))
        return rc;
    if (names.empty())
        return ERROR_INVALID_PARAMETER;
    return Guarded([&](Database& db) -> LONG {
        int64_t now = NowTicks();
        Transaction tx(db);
        int64_t parent = 0;
        std::vector<std::u16string_view> toParent(names.begin(), names.end() - 1);
        if (LONG rc = Walk(db, from, toParent, &parent))
            return rc;
        int64_t target = FindChild(db, parent, names.back());
        if (target == 0)
            return ERROR_FILE_NOT_FOUND;
        // Subkeys and values go with it: the foreign keys cascade.
        Statement remove(db, "DELETE FROM reg_keys WHERE id = ?");
        remove.Bind(1, target).Execute();
        Touch(db, parent, now);
        tx.Commit();
        return ERROR_SUCCESS;
    });
}

LONG QueryValue(int64_t key, std::u16string_view name, Value* value)
{
    if (name.size() > kMaxValueName)
        return ERROR_INVALID_PARAMETER;
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        // One statement tells a missing value from a deleted key.
        Statement row(db, "SELECT k.id, v.name, v.type, v.data FROM reg_keys k "
                          "LEFT JOIN reg_values v ON v.key = k.id AND v.folded = ? WHERE k.id = ?");
        if (!row.Bind(1, Folded(name)).Bind(2, key).Step())
            return ERROR_KEY_DELETED;
        if (row.IsNull(2))
            return ERROR_FILE_NOT_FOUND;
        *value = ValueFrom(row, 1);
        return ERROR_SUCCESS;
    });
}

LONG WriteValue(int64_t key, std::u16string_view name, DWORD type, const uint8_t* data, size_t size)
{
    if (name.size() > kMaxValueName || size > kMaxValueData)
        return ERROR_INVALID_PARAMETER;
    bool changed = false;
    LONG rc = Guarded([&](Database& db) -> LONG {
        int64_t now = NowTicks();
        Transaction tx(db);
        if (!Exists(db, key))
            return ERROR_KEY_DELETED;
        std::string folded = Folded(name);
        Statement before(db, "SELECT type, data FROM reg_values WHERE key = ? AND folded = ?");
        bool existed = before.Bind(1, key).Bind(2, folded).Step();
        std::vector<uint8_t> old = existed ? before.Blob(1) : std::vector<uint8_t>();
        changed = !existed || static_cast<DWORD>(before.Int(0)) != type ||
                  !std::equal(old.begin(), old.end(), data, data + size);
        before.Reset();
        // Updating in place keeps the value's name as first written and its place in the enumeration.
        Statement update(db, "UPDATE reg_values SET type = ?, data = ? WHERE key = ? AND folded = ?");
        update.Bind(1, static_cast<int64_t>(type)).Bind(2, data, size).Bind(3, key).Bind(4, folded).Execute();
        if (db.Changes() == 0) {
            Statement insert(db,
                             "INSERT INTO reg_values (key, name, folded, type, data) VALUES (?, ?, ?, ?, ?)");
            insert.Bind(1, key)
                .Bind(2, StoredText(name))
                .Bind(3, folded)
                .Bind(4, static_cast<int64_t>(type))
                .Bind(5, data, size)
                .Execute();
        }
        Touch(db, key, now);
        tx.Commit();
        return ERROR_SUCCESS;
    });
    // Those who watch the value hear of a change once it is stored (a rewrite of the same data is none).
    if (rc == ERROR_SUCCESS && changed) {
        Value value{std::u16string(name), type, std::vector<uint8_t>(data, data + size)};
        notify::ValueChanged(key, name, &value);
    }
    return rc;
}

LONG DeleteValue(int64_t key, std::u16string_view name)
{
    if (name.size() > kMaxValueName)
        return ERROR_INVALID_PARAMETER;
    LONG rc = Guarded([&](Database& db) -> LONG {
        int64_t now = NowTicks();
        Transaction tx(db);
        if (!Exists(db, key))
            return ERROR_KEY_DELETED;
        Statement remove(db, "DELETE FROM reg_values WHERE key = ? AND folded = ?");
        remove.Bind(1, key).Bind(2, Folded(name)).Execute();
        if (db.Changes() == 0)
            return ERROR_FILE_NOT_FOUND;
        Touch(db, key, now);
        tx.Commit();
        return ERROR_SUCCESS;
    });
    if (rc == ERROR_SUCCESS)
        notify::ValueChanged(key, name, nullptr);
    return rc;
}

LONG FoldedPath(int64_t key, std::string* path)
{
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        Statement row(db, "SELECT parent, folded FROM reg_keys WHERE id = ?");
        std::string result;
        for (int64_t current = key; current != 0;) {
            if (!row.Bind(1, current).Step())
                return ERROR_KEY_DELETED;
            result = result.empty() ? row.Text(1) : row.Text(1) + "\\" + result;
            current = row.IsNull(0) ? 0 : row.Int(0);
            row.Reset();
        }
        *path = std::move(result);
        return ERROR_SUCCESS;
    });
}

LONG EnumSubkey(int64_t key, DWORD index, Subkey* subkey)
{
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        if (!Exists(db, key))
            return ERROR_KEY_DELETED;
        Statement row(db, "SELECT name, class_name, written FROM reg_keys WHERE parent = ? ORDER BY id "
                          "LIMIT 1 OFFSET ?");
        if (!row.Bind(1, key).Bind(2, static_cast<int64_t>(index)).Step())
            return ERROR_NO_MORE_ITEMS;
        *subkey = SubkeyFrom(row);
        return ERROR_SUCCESS;
    });
}

LONG EnumValue(int64_t key, DWORD index, Value* value)
{
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        if (!Exists(db, key))
            return ERROR_KEY_DELETED;
        Statement row(db,
                      "SELECT name, type, data FROM reg_values WHERE key = ? ORDER BY id LIMIT 1 OFFSET ?");
        if (!row.Bind(1, key).Bind(2, static_cast<int64_t>(index)).Step())
            return ERROR_NO_MORE_ITEMS;
        *value = ValueFrom(row, 0);
        return ERROR_SUCCESS;
    });
}

LONG Summarize(int64_t key, KeySummary* summary)
{
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        Statement self(db, "SELECT class_name, written FROM reg_keys WHERE id = ?");
        if (!self.Bind(1, key).Step())
            return ERROR_KEY_DELETED;
        KeySummary s;
        s.className = NameFromStored(self.Text(0));
        s.written = self.Int(1);
        Statement subkeys(db, "SELECT name, class_name FROM reg_keys WHERE parent = ?");
        subkeys.Bind(1, key);
        while (subkeys.Step()) {
            ++s.subkeys;
            s.longestSubkeyName = Longer(s.longestSubkeyName, subkeys.Text(0));
            s.longestClassName = Longer(s.longestClassName, subkeys.Text(1));
        }
        Statement values(db, "SELECT name, length(data) FROM reg_values WHERE key = ?");
        values.Bind(1, key);
        while (values.Step()) {
            ++s.values;
            s.longestValueName = Longer(s.longestValueName, values.Text(0));
            s.largestValueData = std::max(s.largestValueData, static_cast<DWORD>(values.Int(1)));
        }
        *summary = std::move(s);
        return ERROR_SUCCESS;
    });
}

LONG OpenPath(std::u16string_view path, int64_t* key)
{
    int64_t root = 0;
    std::u16string_view rest;
    if (LONG rc = SplitHive(path, &root, &rest))
        return rc;
    return OpenKey(root, rest, key);
}

LONG CreatePath(std::u16string_view path, int64_t* key)
{
    int64_t root = 0;
    std::u16string_view rest;
    if (LONG rc = SplitHive(path, &root, &rest))
        return rc;
    bool created = false;
    return CreateKey(root, rest, std::u16string_view(), key, &created);
}

LONG DeletePath(std::u16string_view path)
{
    int64_t root = 0;
    std::u16string_view rest;
    if (LONG rc = SplitHive(path, &root, &rest))
        return rc;
    return DeleteKey(root, rest);
}

LONG ListValues(int64_t key, std::vector<Value>* values)
{
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        if (!Exists(db, key))
            return ERROR_KEY_DELETED;
        Statement rows(db, "SELECT name, type, data FROM reg_values WHERE key = ? ORDER BY id");
        rows.Bind(1, key);
        values->clear();
        while (rows.Step())
            values->push_back(ValueFrom(rows, 0));
        return ERROR_SUCCESS;
    });
}

LONG ListSubkeys(int64_t key, std::vector<Subkey>* subkeys)
{
    return Guarded([&](Database& db) -> LONG {
        auto lock = db.Lock();
        if (!Exists(db, key))
            return ERROR_KEY_DELETED;
        Statement rows(db, "SELECT name, class_name, written FROM reg_keys WHERE parent = ? ORDER BY id");
        rows.Bind(1, key);
        subkeys->clear();
        while (rows.Step())
            subkeys->push_back(SubkeyFrom(rows));
        return ERROR_SUCCESS;
    });
}

} // namespace device::registry
