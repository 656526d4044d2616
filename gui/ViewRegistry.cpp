// The registry of dialog views and the list of the program's views.
#include "gui/ViewRegistry.h"

#include <map>

namespace {
std::map<std::string, ViewFactory>& Registry() {
    static std::map<std::string, ViewFactory> registry;
    return registry;
}
}  // namespace

void RegisterDialogView(const std::string& className, ViewFactory factory) {
    Registry()[className] = std::move(factory);
}

const ViewFactory* FindDialogView(const std::string& className) {
    auto it = Registry().find(className);
    return it == Registry().end() ? nullptr : &it->second;
}

void RegisterAllDialogViews() {
    RegisterChangedFileDetailsView();
    RegisterCheckingSummaryView();
    RegisterRestoreView();
    RegisterFileAnalysisView();
    RegisterPasswordView();
    RegisterScheduledCheckingView();
    RegisterAddByAttributesView();
    RegisterAddByContentsView();
    RegisterAddByAbilitiesView();
}
