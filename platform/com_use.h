// COM for the calling thread, entered at its first use rather than at the
// start: entering it costs more than the rest of a hidden start, and most
// sessions never create a shell link, launch an item or open a file dialog.
// Windows only.
#pragma once

namespace platform {

// Enters the calling thread into a single-threaded apartment, once; later
// calls cost nothing. Call before anything that needs COM (shell links,
// ShellExecute, the file-open dialog).
void UseCom();

// Leaves the apartment again if UseCom entered it; the next UseCom enters
// anew.
void ReleaseCom();

}  // namespace platform
