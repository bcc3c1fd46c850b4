#include "cli/installer.h"

#include "platform/text.h"

namespace cli {

using settings::MessageBoxRequest;

uint32_t Installer::InstallInputMethod() {
    model_.apply();
    auto& window = model_.window;
    uint32_t handle = system_.installIme(window.installFile, window.installName);
    std::string klid = platform::hexText(handle, 8);

    MessageBoxRequest box;
    box.text = klid;
    box.caption = model_.texts().appCaption;
    box.foreground = true;
    if (!preview) prompts_.show(box);

    settings::RegKey key = registry_.openForWrite(settings::RegRoot::LocalMachine, settings::catalogueKeyOf(klid));
    if (key.isOpen()) registry_.setString(key, "Layout Display Name", window.installName);
    model_.load();
    // Windows puts the new entry into the list itself (Wine does not): the profile learns of it here.
    model_.updateLanguageProfile(klid);
    return handle;
}

bool Installer::RemoveCatalogueEntry(size_t index) {
    auto& addable = model_.snapshot.addable;
    if (index >= addable.size()) return false;
    bool deleted = registry_.deleteKey(settings::RegRoot::LocalMachine, settings::catalogueKeyOf(addable[index].klid));
    addable.erase(addable.begin() + static_cast<long>(index));
    model_.window.addSelection = addable.empty() ? -1 : 0;
    return deleted;
}

void Installer::deleteSelectedEntry() {
    int i = model_.window.addSelection;
    auto& addable = model_.snapshot.addable;
    if (i < 0 || i >= static_cast<int>(addable.size())) return;
    model_.nameAddable(i);
    const auto& entry = addable[static_cast<size_t>(i)];
    MessageBoxRequest question;
    question.text = texts_.prefix + entry.klid + ":\"" + entry.itemText + " (" +
                    platform::upperAscii(model_.catalogue().imeFile(entry.klid)) + ")" + texts_.suffix;
    question.caption = texts_.caption;
    question.okCancel = true;
    question.icon = MessageBoxRequest::Icon::Exclamation;
    question.owner = MessageBoxRequest::Owner::ActiveWindow;
    if (!prompts_.show(question)) return;
    RemoveCatalogueEntry(static_cast<size_t>(i));
}

}  // namespace cli
