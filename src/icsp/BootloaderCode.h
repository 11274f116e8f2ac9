#pragma once

// Outcome codes of the bootloader jobs (JobOutcome::code), so that a window
// picks the right message box.
enum BootloaderCode {
    BootloaderOk = 0,
    BootloaderPortFailed = 1,     // the port could not be opened
    BootloaderGreetingFailed = 2, // probe or hello unanswered three times
    BootloaderIdentityFailed = 3, // an identity answer missing or short
    BootloaderCloseFailed = 4,    // close not acknowledged (disconnected all the same)
    BootloaderLineLost = 5,       // the line failed: disconnected
    BootloaderHelloFailed = 6,    // the download's hello was not accepted
    BootloaderFrameFailed = 7,    // a frame refused or unanswered, or stray bytes
    BootloaderNotConnected = 8,
};
