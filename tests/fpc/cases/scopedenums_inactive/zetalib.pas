unit ZetaLib;

interface

{$IFDEF QUORVEL_NEVER_DEFINED}
{$SCOPEDENUMS ON}
{$ENDIF}
type
  TPlain = (Green, Yellow);

implementation

end.
