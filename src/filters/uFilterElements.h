#pragma once
// Start-up registration of the program's own elements ("kadrexnotifier",
// "kadrexframesnotifier", "kadrexvideosink") as static elements, after gst_init.

bool RegisterFilterElements();
