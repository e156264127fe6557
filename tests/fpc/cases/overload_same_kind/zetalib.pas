unit ZetaLib;

interface

procedure Show(X: Byte); overload;

implementation

procedure Show(X: Byte); overload;
begin
  WriteLn('ZetaLib');
end;

end.
