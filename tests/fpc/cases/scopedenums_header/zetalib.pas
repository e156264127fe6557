{$SCOPEDENUMS ON}
unit ZetaLib;

interface

type
  TScoped = (Green, Yellow);

implementation

end.
