// One libcanberra context for the program's life; each sound is played by file name and the
// call returns at once.
#include "gui/Sound.h"

#include <canberra.h>
#include <sys/stat.h>

SoundPlayer::SoundPlayer() {
    if (ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return;
    }
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Quillstead", nullptr);
}

SoundPlayer::~SoundPlayer() {
    if (m_context)
        ca_context_destroy(m_context);
}

bool SoundPlayer::Play(const std::string& hostPath) {
    struct stat st;
    if (!m_context || stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return ca_context_play(m_context, 0, CA_PROP_MEDIA_FILENAME, hostPath.c_str(),
                           CA_PROP_EVENT_DESCRIPTION, "Quillstead alert", nullptr) == CA_SUCCESS;
}
