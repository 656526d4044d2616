// The alert sound of a file change (see AlertSound.h).
#include "check/AlertSound.h"

#include "platform/Ui.h"

void PlayAlertSound(int alert, const std::string& wavPath) {
    switch (alert) {
        case 0:
            Ui().PlaySoundResource("clm");
            break;
        case 1:
            Ui().PlaySoundResource("zaaz");
            break;
        case 2:
            Ui().PlaySoundResource("rml");
            break;
        case 4:
            Ui().PlaySoundFile(wavPath);
            break;
        default:
            break;
    }
}
