#pragma once

class Graphics;
class Image;

// The cells of a puzzle's picture: value v is base colour v / shades (a cel
// of "ArtTiles") in shade v mod shades, shade 0 the brightest. A negative
// value is an empty cell.
extern Image* gArtTilesImage;
extern int gArtShades;  // at least 1

// Reads "ArtTiles" and the constant "shades" (once the game data is loaded).
void LoadArtTiles();
// The grey level a shade is drawn with: 255 for shade 0, just above half for the last.
int ArtCellBrightness(int value);
// Draws cell (column, row) of a picture with cells `size` pixels wide; the
// alpha lets a reveal fade the cell in. Values without a cel draw nothing.
void DrawArtCell(Graphics* g, float size, int value, int column, int row, int alpha = 255);
