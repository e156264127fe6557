unit ZetaLib;

interface

var
  Config: record
    Mode: (Fast, Slow);
  end;
  Table: array[(Low1, High1)] of Integer;

implementation

end.
