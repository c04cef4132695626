// The autorun walk for a file reached by its true wide path: values read in wide text, judged in UTF-8.
#include <cwchar>
#include <utility>

#include "clean/autorun_walk.h"
#include "core/autorun_rules.h"
#include "core/path_text.h"
#include "core/text_buffer.h"
#include "platform/handles.h"
#include "platform/path_forms.h"
#include "platform/wide_registry.h"

namespace {

// Autorun commands are short; a value this large is not one of them.
constexpr DWORD kLargestValue = 1024 * 1024;
constexpr size_t kMaxValueName = 16383;

// `text` lower-cased, in UTF-8: the rules compare bytes, and no character outside ASCII takes a
// byte that could pass for a separator or a quotation mark.
bool LowerUtf8(const wchar_t* text, TextBuffer<char>* out) {
    const size_t length = std::wcslen(text);
    if (length > kLargestValue) return false;
    TextBuffer<wchar_t> lower(length + 1);
    TextBuffer<char> utf8(length * 3 + 1);
    if (!lower || !utf8) return false;
    std::wmemcpy(lower.data(), text, length + 1);
    LowerWide(lower.data(), length);
    if (WideCharToMultiByte(CP_UTF8, 0, lower.data(), -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr) <= 0)
        return false;
    *out = std::move(utf8);
    return true;
}

// A value's data as text (a value without its terminator gets one).
bool ReadValue(const WideRegistryFunctions& f, HKEY key, const wchar_t* name, TextBuffer<wchar_t>* out) {
    DWORD size = 0;
    if (f.queryValue(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size > kLargestValue) return false;
    TextBuffer<wchar_t> data(size / sizeof(wchar_t) + 2);
    if (!data) return false;
    DWORD got = size;
    if (f.queryValue(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS) return false;
    data.data()[got / sizeof(wchar_t)] = L'\0';
    *out = std::move(data);
    return true;
}

bool Expand(const WideRegistryFunctions& f, const wchar_t* text, TextBuffer<wchar_t>* out) {
    DWORD needed = f.expand(text, nullptr, 0);
    if (needed == 0) return false;
    TextBuffer<wchar_t> expanded(needed + 1);
    if (!expanded || f.expand(text, expanded.data(), needed + 1) == 0) return false;
    *out = std::move(expanded);
    return true;
}

bool DeleteValue(const WideRegistryFunctions& f, HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM view) {
    OwnedKey key;
    if (f.openKey(root, subkey, 0, KEY_ALL_ACCESS | view, key.out()) != ERROR_SUCCESS) return false;
    if (f.deleteValue(key.get(), name) != ERROR_SUCCESS) return false;
    return key.Close();
}

// The value's name, remembered only where the ANSI functions name it exactly.
void Remember(const wchar_t* name) {
    char ansi[kMaxPathChars + 1];
    if (ExactAnsi(name, ansi, sizeof ansi)) RememberWormValueName(ansi);
}

}  // namespace

void CleanAutorunValuesWide(HKEY root, const char* subkey, REGSAM view, const wchar_t* infectedPath) {
    const WideRegistryFunctions* f = NtWideRegistryFunctions();
    TextBuffer<char> infected(1);
    if (!f || !LowerUtf8(infectedPath, &infected) || !CanJudgeAutorunValues(infected.data())) return;
    wchar_t wideSubkey[512];
    if (MultiByteToWideChar(CP_ACP, 0, subkey, -1, wideSubkey, sizeof wideSubkey / sizeof wideSubkey[0]) <= 0) return;
    OwnedKey key;
    if (f->openKey(root, wideSubkey, 0, KEY_READ | view, key.out()) != ERROR_SUCCESS) return;
    DWORD valueCount = 0;
    if (f->queryInfo(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, nullptr, nullptr,
                     nullptr, nullptr) != ERROR_SUCCESS)
        return;
    static wchar_t name[kMaxValueName + 1];
    DWORD deleted = 0;
    for (DWORD i = 0; i < valueCount; ++i) {
        // Deleting a value moves the ones after it down by one index.
        DWORD nameLength = kMaxValueName + 1;
        if (f->enumValue(key.get(), i - deleted, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        TextBuffer<wchar_t> data(1), expanded(1);
        TextBuffer<char> judgedData(1), judgedExpanded(1);
        if (!ReadValue(*f, key.get(), name, &data) || !Expand(*f, data.data(), &expanded) ||
            !LowerUtf8(data.data(), &judgedData) || !LowerUtf8(expanded.data(), &judgedExpanded))
            continue;
        if (CarryOutVerdict(JudgeAutorunValue(judgedData.data(), judgedExpanded.data(), infected.data()),
                            [&] { return DeleteValue(*f, root, wideSubkey, name, view); }, [&] { Remember(name); }))
            ++deleted;
    }
}
