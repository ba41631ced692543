// phone reg: the device registry.
#include "../Command.h"
#include "../RegistryText.h"

#include "device/Text.h"
#include "registry/Store.h"

#include <cstdio>

namespace phone {

namespace {

namespace registry = device::registry;

std::u16string KeyPath(const std::string& text)
{
    std::string path = text;
    while (!path.empty() && path.back() == '\\') // "KEY\NAME\" as listed
        path.pop_back();
    return device::Utf16FromUtf8(path);
}

std::string Reason(LONG rc, const std::string& key)
{
    switch (rc) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_KEY_DELETED: return "no such key or value: " + key;
    case ERROR_BAD_PATHNAME: return "'" + key + "' is not a key (HKCU\\... or HKLM\\...)";
    case ERROR_INVALID_PARAMETER: return "a name or the data is too long for the registry: " + key;
    case ERROR_REGISTRY_CORRUPT: return "the device database is damaged: the registry cannot be read";
    }
    return "the registry failed (error " + std::to_string(rc) + ")";
}

void Check(LONG rc, const std::string& key)
{
    if (rc != ERROR_SUCCESS)
        throw Failure(Reason(rc, key));
}

int64_t Open(const std::string& key)
{
    int64_t id = 0;
    Check(registry::OpenPath(KeyPath(key), &id), key);
    return id;
}

int Get(Args& args)
{
    std::string key = args.Take("the key");
    int64_t id = Open(key);
    if (!args.Empty()) {
        std::string name = args.Take("the value");
        args.ExpectEnd();
        registry::Value value;
        Check(registry::QueryValue(id, ValueName(name), &value), key + " " + name);
        std::printf("%s %s\n", TypeName(value.type).c_str(), FormatData(value).c_str());
        return 0;
    }
    std::vector<registry::Value> values;
    std::vector<registry::Subkey> subkeys;
    Check(registry::ListValues(id, &values), key);
    Check(registry::ListSubkeys(id, &subkeys), key);
    for (const registry::Value& value : values)
        std::printf("%s %s %s\n", ShownName(value.name).c_str(), TypeName(value.type).c_str(),
                    FormatData(value).c_str());
    std::string prefix = key;
    while (!prefix.empty() && prefix.back() == '\\')
        prefix.pop_back();
    for (const registry::Subkey& subkey : subkeys)
        std::printf("%s\\%s\\\n", prefix.c_str(), ShownName(subkey.name).c_str());
    return 0;
}

int Set(Args& args)
{
    std::string key = args.Take("the key"), name = args.Take("the value name");
    DWORD type = TypeFromName(args.Take("the type"));
    std::vector<uint8_t> data = ParseData(type, args.Rest());
    // All is checked before the key is made, so a write that cannot be done leaves nothing behind.
    if (ValueName(name).size() > registry::kMaxValueName || data.size() > registry::kMaxValueData)
        throw Failure(Reason(ERROR_INVALID_PARAMETER, key + " " + name));
    int64_t id = 0;
    Check(registry::CreatePath(KeyPath(key), &id), key);
    Check(registry::WriteValue(id, ValueName(name), type, data.data(), data.size()), key + " " + name);
    registry::Value written{ValueName(name), type, data};
    std::printf("%s %s = %s %s\n", key.c_str(), name.c_str(), TypeName(type).c_str(), FormatData(written).c_str());
    return 0;
}

int Delete(Args& args)
{
    std::string key = args.Take("the key");
    if (args.Empty()) {
        int64_t id = Open(key);
        if (id == registry::kCurrentUser || id == registry::kLocalMachine)
            throw UsageError("a hive's root cannot be deleted");
        Check(registry::DeletePath(KeyPath(key)), key);
        std::printf("deleted %s\n", key.c_str());
        return 0;
    }
    std::string name = args.Take("the value");
    args.ExpectEnd();
    Check(registry::DeleteValue(Open(key), ValueName(name)), key + " " + name);
    std::printf("deleted %s %s\n", key.c_str(), name.c_str());
    return 0;
}

int Run(Args& args)
{
    std::string verb = args.Take("get, set or delete");
    if (verb == "get")
        return Get(args);
    if (verb == "set")
        return Set(args);
    if (verb == "delete")
        return Delete(args);
    throw UsageError("'" + verb + "' is not get, set or delete");
}

} // namespace

extern const Command kReg{
    "reg",
    "get KEY [VALUE] | set KEY VALUE TYPE DATA | delete KEY [VALUE]",
    "read, write and delete values and keys of the device registry",
    "KEY is HKCU\\... or HKLM\\... (or HKEY_CURRENT_USER\\..., HKEY_LOCAL_MACHINE\\...); the default value\n"
    "is named @. get KEY VALUE prints TYPE DATA; get KEY lists the values as NAME TYPE DATA, then the\n"
    "subkeys as KEY\\NAME\\. TYPE is REG_DWORD (DATA decimal or 0x hex), REG_SZ, REG_EXPAND_SZ,\n"
    "REG_BINARY (hex bytes separated by blanks), REG_MULTI_SZ (texts separated by |) or REG_NONE;\n"
    "an empty DATA is a zero-length value. set creates the key when needed. Writes tell the programs\n"
    "that watch the value, as any write on the device does.",
    true,
    &Run,
};

} // namespace phone
