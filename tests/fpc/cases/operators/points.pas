unit Points;

interface

type
  TPt = record
    X: Integer;
  end;

implementation

end.
