unit ZetaLib;

interface

const
  Level = 2;

implementation

end.
