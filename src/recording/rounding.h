#pragma once

// Amounts and decimal hours keep two decimals; a half goes to the even neighbour, as the office system rounds.
double rundeAufHundertstel(double wert);
