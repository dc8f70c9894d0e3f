// Anchors the precompiled header the test programs share.
