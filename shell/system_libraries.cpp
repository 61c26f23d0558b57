#include "shell/system_libraries.h"

// Any function's address; cast to its own type to be called.
typedef void (*AnyFunction)();

// A function of a system library, looked up the first time it is called.
struct SystemFunction {
    const char *library;
    const char *name;
    AnyFunction address; // null until found, and when the system lacks it
    bool looked;
};

static AnyFunction find(SystemFunction *function)
{
    if (!function->looked) {
        HMODULE module = GetModuleHandleA(function->library);
        if (module == nullptr)
            module = LoadLibraryA(function->library);
        function->address = module != nullptr ? (AnyFunction)GetProcAddress(module, function->name) : nullptr;
        function->looked = true;
    }
    return function->address;
}

BOOL getOpenFileName(OPENFILENAMEA *chooser)
{
    static SystemFunction function = {"comdlg32.dll", "GetOpenFileNameA", nullptr, false};
    BOOL(WINAPI *call)(OPENFILENAMEA *) = (BOOL(WINAPI *)(OPENFILENAMEA *))find(&function);
    return call != nullptr && call(chooser);
}

BOOL getSaveFileName(OPENFILENAMEA *chooser)
{
    static SystemFunction function = {"comdlg32.dll", "GetSaveFileNameA", nullptr, false};
    BOOL(WINAPI *call)(OPENFILENAMEA *) = (BOOL(WINAPI *)(OPENFILENAMEA *))find(&function);
    return call != nullptr && call(chooser);
}

DWORD commonDialogError()
{
    static SystemFunction function = {"comdlg32.dll", "CommDlgExtendedError", nullptr, false};
    DWORD(WINAPI *call)() = (DWORD(WINAPI *)())find(&function);
    return call != nullptr ? call() : 0;
}

LPITEMIDLIST browseForFolder(BROWSEINFOA *browse)
{
    static SystemFunction function = {"shell32.dll", "SHBrowseForFolderA", nullptr, false};
    LPITEMIDLIST(WINAPI *call)(BROWSEINFOA *) = (LPITEMIDLIST(WINAPI *)(BROWSEINFOA *))find(&function);
    return call != nullptr ? call(browse) : nullptr;
}

BOOL pathFromIdList(LPCITEMIDLIST folder, char *path)
{
    static SystemFunction function = {"shell32.dll", "SHGetPathFromIDListA", nullptr, false};
    BOOL(WINAPI *call)(LPCITEMIDLIST, char *) = (BOOL(WINAPI *)(LPCITEMIDLIST, char *))find(&function);
    return call != nullptr && call(folder, path);
}

void freeTaskMemory(void *memory)
{
    static SystemFunction function = {"ole32.dll", "CoTaskMemFree", nullptr, false};
    void(WINAPI *call)(void *) = (void(WINAPI *)(void *))find(&function);
    if (call != nullptr)
        call(memory);
}

UINT dragQueryFile(HDROP drop, UINT index, char *path, UINT size)
{
    static SystemFunction function = {"shell32.dll", "DragQueryFileA", nullptr, false};
    UINT(WINAPI *call)(HDROP, UINT, char *, UINT) = (UINT(WINAPI *)(HDROP, UINT, char *, UINT))find(&function);
    return call != nullptr ? call(drop, index, path, size) : 0;
}

void dragFinish(HDROP drop)
{
    static SystemFunction function = {"shell32.dll", "DragFinish", nullptr, false};
    void(WINAPI *call)(HDROP) = (void(WINAPI *)(HDROP))find(&function);
    if (call != nullptr)
        call(drop);
}

HINSTANCE WINAPI shellExecute(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                              LPCSTR folder, INT show)
{
    static SystemFunction function = {"shell32.dll", "ShellExecuteA", nullptr, false};
    ShellOpener call = (ShellOpener)find(&function);
    return call != nullptr ? call(owner, operation, file, parameters, folder, show)
                           : (HINSTANCE)SE_ERR_NOASSOC;
}
