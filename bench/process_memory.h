#pragma once

// Resident memory of this process in kB (VmRSS), or -1 when it cannot be read.
long residentKb();
