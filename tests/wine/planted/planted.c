/* A library or program planted beside kestrine.exe, as a web page could drop one into the
 * Downloads folder: loaded or started, it leaves the file C:\planted-<its own file name>. As
 * version.dll, which Wine's own user32 imports (Windows' does not), it leaves it only when one of
 * the three functions that the program once imported is called, and has Wine's three too. */
#include <windows.h>

static HMODULE self;

static const char* own_name(char* path) { /* path: MAX_PATH + 1 characters, all zero */
    const char* name = path;
    GetModuleFileNameA(self, path, MAX_PATH);
    for (; *path; ++path) name = *path == '\\' ? path + 1 : name;
    return name;
}

static void leave_marker(void) {
    char path[MAX_PATH + 1] = {0}, marker[MAX_PATH + 16] = "C:\\planted-";
    CloseHandle(CreateFileA(lstrcatA(marker, own_name(path)), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
}

#ifdef PLANTED_PROGRAM
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) { leave_marker(); return 0; }
#else
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    char path[MAX_PATH + 1] = {0};
    self = instance;
    if (reason == DLL_PROCESS_ATTACH && lstrcmpiA(own_name(path), "version.dll") != 0) leave_marker();
    return TRUE;
}
__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) { return S_OK; }
__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) { return S_OK; }
__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR f, LPDWORD h) { leave_marker(); return 0; }
__declspec(dllexport) BOOL WINAPI GetFileVersionInfoA(LPCSTR f, DWORD h, DWORD n, LPVOID d) { leave_marker(); return 0; }
__declspec(dllexport) BOOL WINAPI VerQueryValueA(LPCVOID b, LPCSTR s, LPVOID* v, PUINT n) { leave_marker(); return 0; }
__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR f, LPDWORD h) { return 0; }
__declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR f, DWORD h, DWORD n, LPVOID d) { return 0; }
__declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID b, LPCWSTR s, LPVOID* v, PUINT n) { return 0; }
#endif
