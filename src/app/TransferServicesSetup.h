#pragma once

struct TransferServices;

// Plugs the services of the lower floors into the transfer windows: the
// programmer's device-ID read (the chip re-identified when a window opens),
// the HEX and scrambled HEX files of the image, and the bootloader's
// connection and downloads of the programmer window.
void InstallTransferServices(TransferServices &services);
