#pragma once

class AssetImageLoader;

// The renderer's way of making asset images from decoded pixels: split into
// the asset's cel grid, with its frame table. Safe on loading threads.
AssetImageLoader& RendererImageLoader();
