#include "platform/win32/folder_chooser.h"

#include <memory>
#include <type_traits>

#include "platform/win32/folder_paths.h"
#include "platform/win32/modal_scope.h"
#include "platform/win32/windows_api.h"

#include <shlobj.h>

namespace skein::platform {
namespace {

// BIF_EDITBOX | BIF_NEWDIALOGSTYLE: a folder can be typed, and the dialog is the resizable one.
constexpr UINT kBrowseFlags = 0x50;

using BrowseForFolder = PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOA);
using PathFromIdList = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPSTR);

struct LibraryFree {
  void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFree>;

struct IdListFree {
  void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};
using UniqueIdList = std::unique_ptr<ITEMIDLIST, IdListFree>;

template <typename Function>
Function LookUp(HMODULE module, const char* name) {
  // Through void(*)() so the compiler accepts the change of signature.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

bool IsExistingFolder(const char* path) {
  const DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int CALLBACK OnDialogEvent(HWND dialog, UINT event, LPARAM, LPARAM initialFolder) {
  const char* folder = reinterpret_cast<const char*>(initialFolder);
  if (event == BFFM_INITIALIZED && folder[0] != '\0' && IsExistingFolder(folder)) {
    ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, initialFolder);
  }
  return 0;
}

}  // namespace

std::string ShowFolderChooser(std::string_view prompt, std::string_view initialFolder) {
  const std::string initial = InitialFolderForDialog(initialFolder);
  const std::string title(prompt);

  // Looked up at each call, so a system without them only loses the dialog.
  UniqueLibrary shell(::LoadLibraryA("SHELL32.DLL"));
  if (!shell) return {};
  const auto browse = LookUp<BrowseForFolder>(shell.get(), "SHBrowseForFolderA");
  const auto pathFromIdList = LookUp<PathFromIdList>(shell.get(), "SHGetPathFromIDListA");
  if (browse == nullptr || pathFromIdList == nullptr) return {};

  char displayName[MAX_PATH] = {};
  UniqueIdList chosen;
  {
    ModalScope modal;
    BROWSEINFOA info{};
    info.hwndOwner = modal.Owner();
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = kBrowseFlags;
    info.lpfn = OnDialogEvent;
    info.lParam = reinterpret_cast<LPARAM>(initial.c_str());
    chosen.reset(browse(&info));
  }
  if (!chosen) return {};

  char path[MAX_PATH] = {};
  if (!pathFromIdList(chosen.get(), path)) return {};
  return ChosenFolder(path);
}

}  // namespace skein::platform
