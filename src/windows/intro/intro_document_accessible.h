#pragma once

class QWidget;

// Lets a screen reader read the intro document as text: the container that holds the drawn
// document is reported as a read-only document whose text is the document's paragraphs,
// each ended by a line break, with the place of every character on the screen.
void makeDocumentReadable(QWidget& container);
