// The voice button of the panel: opens the voice memo window, and its hover
// text says whether a memo waits to be played; the mark of a new recording.

#include "entry/EntryForm.h"

#include "entry/EntryRequests.h"
#include "entry/Voicefm.h"
#include "entry/entry_state.h"

#include "platform/Conversions.h"

void EntryForm::cmdvoice_Click()
{
    entry::EntryState& state = entry::entryState();
    if (state.Voice_Busy != 0) {
        state.Voice_Busy = 0;
        entry::entryRequests().closeVoiceMemo();
    }
    voicefm_form().show(forms::ShowMode::Modal, this);
}

void EntryForm::cmdvoice_MouseMove(int Button, int Shift, double X, double Y)
{
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    cmdvoice.setToolTipText(platform::Val(cmdvoice.tag()) != 0 ? "Click for Play or Record" : "Click for Record");
}

void EntryForm::markRecordingWaiting()
{
    cmdvoice.setTag("1");
    // A new recording for a person whose memo was marked already changes no
    // mark: the count tells the card apart from the one shown.
    ++m_recordingsTaken;
}
