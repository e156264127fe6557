unit ZetaLib;

interface

{$PUSH}
{$SCOPEDENUMS ON}
type
  TScoped = (Red, Blue);
{$POP}

type
  TPlain = (Green, Yellow);

implementation

end.
