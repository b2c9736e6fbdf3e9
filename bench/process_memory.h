#pragma once

// Resident memory of this process in kB (VmRSS), or -1 when it cannot be read.
long residentKb();
// Its proportional set size in kB (PSS: shared pages counted by the share of each process that
// maps them), or -1 when it cannot be read.
long proportionalKb();
