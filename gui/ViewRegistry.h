// Which wx view shows which dialog model: a registry from the model's class name to a
// function that builds its view. The seam's RunModal looks the model up here.
#pragma once

#include <functional>
#include <string>

class wxWindow;
class CDialog;
class DialogView;

using ViewFactory = std::function<DialogView*(wxWindow* parent, CDialog& model)>;

void RegisterDialogView(const std::string& className, ViewFactory factory);
// Null when no view is registered for the class.
const ViewFactory* FindDialogView(const std::string& className);

// Registers every view of the program (called once by the seam).
void RegisterAllDialogViews();

// The views' own registrations, one per view file.
void RegisterChangedFileDetailsView();
void RegisterCheckingSummaryView();
void RegisterRestoreView();
void RegisterFileAnalysisView();
void RegisterPasswordView();
void RegisterScheduledCheckingView();
void RegisterAddByAttributesView();
void RegisterAddByContentsView();
void RegisterAddByAbilitiesView();
