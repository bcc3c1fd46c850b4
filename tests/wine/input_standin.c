// A stand-in for Windows' input.dll, which Wine lacks: loading it appends "loaded" to
// C:\input-calls.txt, and each call of the two language-profile functions a line with its name,
// items and flags; both succeed.
#include <windows.h>

static BOOL note(const char* name, LPCWSTR items, DWORD flags) {
    char line[1100];  // wsprintfA writes at most 1,024 characters
    DWORD written, n = (DWORD)wsprintfA(line, items ? "%s %ls %lu\r\n" : "%s\r\n", name, items, flags);
    HANDLE file = CreateFileA("C:\\input-calls.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    WriteFile(file, line, n, &written, NULL);
    return CloseHandle(file);
}

#define RECORDED(name) \
    __declspec(dllexport) BOOL WINAPI name(LPCWSTR items, DWORD flags) { return note(#name, items, flags); }
RECORDED(InstallLayoutOrTip)
RECORDED(SetDefaultLayoutOrTip)

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance, (void)reserved;
    return reason != DLL_PROCESS_ATTACH || note("loaded", NULL, 0);
}
