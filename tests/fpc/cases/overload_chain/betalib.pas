unit BetaLib;

interface

procedure Show(X: Double);

implementation

procedure Show(X: Double);
begin
  WriteLn('BetaLib');
end;

end.
