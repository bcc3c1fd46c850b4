/* A library with registration entries for tests: each call records itself under
   HKEY_CURRENT_USER\Software\KestrineSamples\Registration, value = this file's name,
   data "registered" or "unregistered". */
#include <windows.h>

static HINSTANCE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

static HRESULT record(const char* state) {
    char path[MAX_PATH + 1] = {0};
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return E_FAIL;
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KestrineSamples\\Registration", 0, NULL, 0, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != ERROR_SUCCESS) {
        return E_FAIL;
    }
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)state, (DWORD)lstrlenA(state) + 1);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? S_OK : E_FAIL;
}

HRESULT WINAPI DllRegisterServer(void) { return record("registered"); }
HRESULT WINAPI DllUnregisterServer(void) { return record("unregistered"); }
