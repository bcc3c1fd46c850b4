/* A stand-in for Windows' input.dll, which Wine lacks: loading it appends "loaded" to
   C:\input-calls.txt, and each call of the two language-profile functions its name, item text
   (ASCII) and flags, one line each; both succeed. */
#include <windows.h>

static void note(const char* text) {
    DWORD written;
    HANDLE file = CreateFileA("C:\\input-calls.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, text, (DWORD)lstrlenA(text), &written, NULL);
    CloseHandle(file);
}

static BOOL record(const char* name, LPCWSTR items, DWORD flags) {
    char line[300];
    int n = wsprintfA(line, "%s ", name), i;
    for (i = 0; items && items[i] && n < 280; ++i) line[n++] = (char)items[i];
    wsprintfA(line + n, " %lu\r\n", (unsigned long)flags);
    note(line);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI InstallLayoutOrTip(LPCWSTR list, DWORD flags) { return record("InstallLayoutOrTip", list, flags); }
__declspec(dllexport) BOOL WINAPI SetDefaultLayoutOrTip(LPCWSTR item, DWORD flags) { return record("SetDefaultLayoutOrTip", item, flags); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance, (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) note("loaded\r\n");
    return TRUE;
}
