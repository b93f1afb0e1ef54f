#pragma once

class AssetAudioLoader;

// Hands the asset manager's sounds and tracks to the running application's
// sound manager and music interface (none loads while they are absent).
AssetAudioLoader& AppAudioLoader();
